// The edit target's input: a script of dialog-like steps, then the driver image it runs on.
// Shared by the target, which reads it, and the corpus generator, which writes it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace morvex::fuzz {

// Layout: byte 0 is the script's length n, bytes 1 ... n the script, the rest the image.
// Each step is one opcode byte (taken modulo the number of steps) and its operands; a
// script that ends inside a step ends there.
enum class Step : std::uint8_t {
    select = 0,         // operand: list position (modulo the list's length); fields follow it
    vid = 1,            // operand: length (modulo 8), then that many bytes of text
    pid = 2,            // the same for the product ID
    protocol = 3,       // operand: position (modulo 8) - 1, so -1 ... 6
    writeProtect = 4,   // operand: bit 0
    apply = 5,          // the apply button: the selected position and its item value
    applyAt = 6,        // operands: a position and an item value, each (byte modulo 40) - 4
    saveAndReload = 7,  // writes the image back and loads it again
};
inline constexpr int kStepCount = 8;
inline constexpr std::size_t kMaxTextLength = 7;

class ScriptWriter {
  public:
    ScriptWriter& select(int position) { return Put(Step::select, {Byte(position)}); }
    ScriptWriter& vid(std::string_view text) { return Text(Step::vid, text); }
    ScriptWriter& pid(std::string_view text) { return Text(Step::pid, text); }
    ScriptWriter& protocol(int position) { return Put(Step::protocol, {Byte(position + 1)}); }
    ScriptWriter& writeProtect(bool on) { return Put(Step::writeProtect, {Byte(on ? 1 : 0)}); }
    ScriptWriter& apply() { return Put(Step::apply, {}); }
    ScriptWriter& applyAt(int position, int itemValue) {
        return Put(Step::applyAt, {Byte(position + 4), Byte(itemValue + 4)});
    }
    ScriptWriter& saveAndReload() { return Put(Step::saveAndReload, {}); }

    // The whole input: the script (at most 255 bytes, the rest dropped) and then `image`.
    std::vector<std::uint8_t> input(std::span<const std::uint8_t> image) const {
        const std::size_t length = std::min<std::size_t>(m_script.size(), 255);
        std::vector<std::uint8_t> out{static_cast<std::uint8_t>(length)};
        out.insert(out.end(), m_script.begin(),
                   m_script.begin() + static_cast<std::ptrdiff_t>(length));
        out.insert(out.end(), image.begin(), image.end());
        return out;
    }

  private:
    static std::uint8_t Byte(int value) { return static_cast<std::uint8_t>(value); }
    ScriptWriter& Put(Step step, std::initializer_list<std::uint8_t> operands) {
        m_script.push_back(static_cast<std::uint8_t>(step));
        m_script.insert(m_script.end(), operands.begin(), operands.end());
        return *this;
    }
    ScriptWriter& Text(Step step, std::string_view text) {
        m_script.push_back(static_cast<std::uint8_t>(step));
        m_script.push_back(static_cast<std::uint8_t>(text.size()));
        m_script.insert(m_script.end(), text.begin(), text.end());
        return *this;
    }

    std::vector<std::uint8_t> m_script;
};

// Reads a script byte by byte; past its end every read fails.
class ScriptReader {
  public:
    explicit ScriptReader(std::span<const std::uint8_t> script) : m_script(script) {}

    bool Next(std::uint8_t& byte) {
        if (m_at >= m_script.size()) {
            return false;
        }
        byte = m_script[m_at++];
        return true;
    }
    bool Text(std::string& text) {
        std::uint8_t length;
        if (!Next(length)) {
            return false;
        }
        const std::size_t n =
            std::min<std::size_t>(length % (kMaxTextLength + 1), m_script.size() - m_at);
        text.assign(reinterpret_cast<const char*>(m_script.data() + m_at), n);
        m_at += n;
        return true;
    }

  private:
    std::span<const std::uint8_t> m_script;
    std::size_t m_at = 0;
};

// Splits an input into its script and its image.
struct EditInput {
    std::span<const std::uint8_t> script;
    std::span<const std::uint8_t> image;
};

inline EditInput SplitInput(std::span<const std::uint8_t> input) {
    if (input.empty()) {
        return {};
    }
    const std::size_t length = std::min<std::size_t>(input[0], input.size() - 1);
    return {input.subspan(1, length), input.subspan(1 + length)};
}

}  // namespace morvex::fuzz
