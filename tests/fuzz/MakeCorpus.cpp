// Writes the fuzz targets' seed corpus from driver images built by the test fixture, or checks
// that the committed corpus is still what this program writes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "EditScript.h"
#include "editor/EntryEditor.h"
#include "support/DriverFixture.h"

namespace morvex::fuzz {
namespace {

using test::DriverFixture;
using Seeds = std::map<std::string, std::vector<std::uint8_t>>;

constexpr std::size_t kTableAt = 32;
constexpr std::size_t kImageSize = 65536;

// A driver as long as the image, its table's slots ending on the image's last byte.
DriverFixture AtTheImageEnd(std::int16_t capacity) {
    return DriverFixture()
        .size(kImageSize)
        .tableAt(kImageSize - 16 - 8 * static_cast<std::size_t>(capacity))
        .capacity(capacity);
}

// A small driver: the table right after the device header, a few bytes after the slots.
DriverFixture Small(std::int16_t capacity) {
    return DriverFixture()
        .size(kTableAt + 16 + 8 * static_cast<std::size_t>(capacity < 0 ? 0 : capacity) + 24)
        .tableAt(kTableAt)
        .capacity(capacity);
}

Seeds ImageSeeds() {
    Seeds seeds;
    const auto add = [&seeds](const std::string& name, const DriverFixture& fixture) {
        seeds["image/" + name] = fixture.bytes();
    };
    add("two-entries", Small(4).entry(0x04B4, 0x0001, 0x03).entry(0x1234, 0xABCD, 0x81));
    add("every-code", Small(12)
                          .entry(0x0001, 0x0001, 0x01)
                          .entry(0x0002, 0x0002, 0x41)
                          .entry(0x0003, 0x0003, 0x04)
                          .entry(0x0004, 0x0004, 0x03)
                          .entry(0x0005, 0x0005, 0x02)
                          .entry(0x0006, 0x0006, 0xC1)
                          .entry(0x0007, 0x0007, 0x42)
                          .entry(0x0008, 0x0008, 0x00)
                          .entry(0x0009, 0x0009, 0x07)
                          .entry(0x000A, 0x000A, 0xFF)
                          .entry(0x000B, 0x000B, 0x3F));
    add("empty-table", Small(0));
    add("no-entries", Small(3));
    add("full-table", Small(2).entry(1, 1, 0x03).entry(2, 2, 0x82).slot(2, 0x1234, 0x5678, 0x41));
    add("slots-end-at-end-of-file", Small(2).size(kTableAt + 16 + 16).entry(1, 2, 0x03));
    add("slots-one-byte-past-end", Small(2).size(kTableAt + 16 + 15).entry(1, 2, 0x03));
    add("header-cut", Small(0).size(kTableAt + 14));
    add("marker-at-zero", Small(2).tableAt(0).extraMarker(40));
    add("terminator-not-zero", Small(2).terminator('1').extraMarker(80));
    add("second-table-ignored", Small(2).entry(5, 6, 0x01).size(160).extraMarker(120));
    add("capacity-negative", Small(2).rawHeader(0xFFFF, 0));
    add("count-negative", Small(2).rawHeader(2, 0x8000));
    add("count-above-capacity", Small(2).rawHeader(2, 3));
    add("duplicates", Small(4).entry(0xAAAA, 0xBBBB, 0x03).entry(0xAAAA, 0xBBBB, 0x02));
    add("no-marker", DriverFixture().size(64).tableAt(std::nullopt));
    add("empty-file", DriverFixture().size(0).tableAt(std::nullopt));
    // The edges of the 64 KiB image: what lies past it is never read, and a save keeps it.
    add("full-table-ends-the-image", AtTheImageEnd(2).entry(1, 1, 0x03).entry(2, 2, 0x01));
    add("table-past-the-image", AtTheImageEnd(2).size(kImageSize + 1).tableAt(kImageSize - 31));
    add("longer-than-the-image", Small(4).entry(1, 2, 0x03).size(kImageSize + 100));
    return seeds;
}

Seeds EditSeeds() {
    Seeds seeds;
    const auto add = [&seeds](const std::string& name, const ScriptWriter& script,
                              const DriverFixture& fixture) {
        seeds["edit/" + name] = script.input(fixture.bytes());
    };
    const auto twoOfFour = Small(4).entry(0x04B4, 0x0001, 0x03).entry(0x1234, 0xABCD, 0x01);

    add("add-one", ScriptWriter().select(2).vid("0bda").pid("1").protocol(4).apply(), twoOfFour);
    add("add-until-full",
        ScriptWriter()
            .select(0)
            .vid("1")
            .pid("1")
            .protocol(1)
            .apply()
            .select(1)
            .vid("2")
            .pid("2")
            .protocol(2)
            .apply()
            .select(2)
            .vid("3")
            .pid("3")
            .protocol(3)
            .apply()
            .select(3)
            .vid("4")
            .pid("4")
            .protocol(4)
            .apply()
            .select(4)
            .vid("5")
            .pid("5")
            .protocol(5)
            .apply()
            .saveAndReload(),
        Small(5));
    add("update-in-place",
        ScriptWriter().select(1).vid("abcd").protocol(5).writeProtect(true).apply(), twoOfFour);
    add("update-to-itself", ScriptWriter().select(0).apply().select(1).apply(), twoOfFour);
    add("update-to-duplicate", ScriptWriter().select(1).vid("04B4").pid("0001").apply(), twoOfFour);
    add("bad-hex",
        ScriptWriter().select(0).vid("12G4").apply().vid(" 1").apply().vid("0x1").apply(),
        twoOfFour);
    add("long-and-empty-hex", ScriptWriter().select(2).vid("1234567").pid("").protocol(4).apply(),
        twoOfFour);
    add("protocol-out-of-range",
        ScriptWriter().select(0).protocol(-1).apply().protocol(0).apply().protocol(6).apply(),
        twoOfFour);
    add("maximum-entry-over", ScriptWriter().select(3).vid("9").pid("9").protocol(1).apply(),
        Small(4).entry(1, 1, 3).entry(2, 2, 3).entry(3, 3, 3));
    add("full-table-update",
        ScriptWriter().select(2).apply().select(0).vid("FFFF").apply().select(1).apply(),
        Small(2).entry(1, 1, 0x42).entry(2, 2, 0x07).slot(2, 7, 7, 0x81));
    add("write-protected-entry", ScriptWriter().select(1).writeProtect(false).apply(),
        Small(3).entry(1, 1, 0x03).entry(2, 2, 0x83));
    add("apply-at-odd-positions",
        ScriptWriter()
            .vid("5")
            .pid("5")
            .protocol(1)
            .applyAt(0, NewEntryMarker)
            .applyAt(5, 3)
            .applyAt(-1, -1)
            .applyAt(3, NewEntryMarker)
            .applyAt(1, 1),
        twoOfFour);
    add("existing-duplicates", ScriptWriter().select(0).apply().select(1).pid("1").apply(),
        Small(4).entry(0xAAAA, 0xBBBB, 0x03).entry(0xAAAA, 0xBBBB, 0x02));
    add("save-and-reload",
        ScriptWriter().select(2).vid("1").protocol(3).apply().saveAndReload().select(2).apply(),
        twoOfFour);
    add("no-table",
        ScriptWriter().vid("1").pid("1").protocol(1).apply().applyAt(0, 0).saveAndReload(),
        Small(2).rawHeader(2, 3));
    add("empty-table", ScriptWriter().select(0).vid("1").protocol(1).apply(), Small(0));
    add("full-at-the-image-end",
        ScriptWriter()
            .select(2)
            .vid("3")
            .pid("3")
            .apply()
            .select(1)
            .vid("5")
            .apply()
            .saveAndReload(),
        AtTheImageEnd(2).entry(1, 1, 0x03).entry(2, 2, 0x01));
    add("save-keeps-the-tail",
        ScriptWriter().select(1).vid("1").protocol(2).apply().saveAndReload(),
        Small(4).entry(1, 2, 0x03).size(kImageSize + 100));
    return seeds;
}

bool Write(const std::filesystem::path& root, const Seeds& seeds) {
    for (const auto& [name, bytes] : seeds) {
        const auto path = root / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

// The committed corpus must be exactly the seeds: none missing, none stale, none changed.
bool Check(const std::filesystem::path& root, const Seeds& seeds) {
    bool same = true;
    for (const auto& [name, bytes] : seeds) {
        std::ifstream in(root / name, std::ios::binary);
        const std::vector<std::uint8_t> stored{std::istreambuf_iterator<char>(in),
                                               std::istreambuf_iterator<char>()};
        if (!in.is_open() || stored != bytes) {
            std::fprintf(stderr, "%s: missing or out of date\n", name.c_str());
            same = false;
        }
    }
    for (const char* folder : {"image", "edit"}) {
        std::error_code error;
        for (const auto& file : std::filesystem::directory_iterator(root / folder, error)) {
            const std::string name = std::string(folder) + "/" + file.path().filename().string();
            if (!seeds.contains(name)) {
                std::fprintf(stderr, "%s: not a seed of this program\n", name.c_str());
                same = false;
            }
        }
    }
    if (!same) {
        std::fprintf(stderr, "rewrite the corpus with: morvex_fuzz_corpus write %s\n",
                     root.c_str());
    }
    return same;
}

}  // namespace
}  // namespace morvex::fuzz

int main(int argc, char** argv) {
    using namespace morvex::fuzz;
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "write" && mode != "check") {
        std::fprintf(stderr, "usage: morvex_fuzz_corpus write|check CORPUS-FOLDER\n");
        return 2;
    }
    Seeds seeds = ImageSeeds();
    seeds.merge(EditSeeds());
    return (mode == "write" ? Write(argv[2], seeds) : Check(argv[2], seeds)) ? 0 : 1;
}
