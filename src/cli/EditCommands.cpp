// morvex-cli add and update: one entry edited through the dialog's rules, then the held,
// verified save (or, with --dry-run, the bytes a save would change).
#include <algorithm>
#include <charconv>
#include <vector>

#include "cli/Commands.h"
#include "cli/DriverSession.h"
#include "cli/Messages.h"
#include "cli/Presentation.h"
#include "editor/EntryEditor.h"
#include "image/FileSystem.h"

namespace morvex::cli {
namespace {

// The dialog's VID and PID edits hold no more than this; ParseHex16 alone would quietly keep
// the last four digits of a longer text.
constexpr std::size_t kHexFieldLimit = 4;

constexpr const char* kHexHelp =
    "0 to 4 hexadecimal digits, either case; \"\" is 0000 and ab is 00AB";

std::string ProtocolHelp(std::string_view what) {
    return std::string(what) +
           ": cbi, cbi-fw (CBI with F/W download), initializer, bulk (Bulk-Only) or cb "
           "(CB, non-interrupt endpoint); any case";
}

// `Target` is std::string where the option is required, std::optional<std::string> where not.
template <typename Target>
CLI::Option* AddProtocolOption(CLI::App& command, Target& target, std::string_view what) {
    return command.add_option("--protocol", target, ProtocolHelp(what))
        ->type_name("NAME")
        ->check(CLI::IsMember(ProtocolNameList(), CLI::ignore_case));
}

// The option's check has admitted only known names; anything else would be refused by Apply.
int ChoiceFor(std::string_view name) {
    const auto choice = ProtocolNamed(name);
    return choice ? static_cast<int>(*choice) : static_cast<int>(ProtocolChoice::ignore);
}

// SLOT's range is known only once the table is read; its spelling is checked at once.
std::string CheckSlotDigits(const std::string& text) {
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    return digits ? std::string() : "'" + text + "' is not a list position (0, 1, ...)";
}

bool FitsHexField(const std::optional<std::string>& text) {
    return !text || text->size() <= kHexFieldLimit;
}

std::string_view MessageFor(ApplyOutcome outcome) {
    switch (outcome) {
        case ApplyOutcome::maximumEntryOver:
            return message::kMaximumEntryOver;
        case ApplyOutcome::invalidHex:
            return message::kInvalidHex;
        case ApplyOutcome::invalidProtocol:
            return message::kInvalidProtocol;
        case ApplyOutcome::duplicateEntry:
            return message::kDuplicateEntry;
        case ApplyOutcome::applyOk:
            break;
    }
    return {};
}

// Upper-case hexadecimal, `digits` wide.
std::string Hex(std::size_t value, int digits) {
    std::string text(static_cast<std::size_t>(digits), '0');
    for (auto at = text.rbegin(); at != text.rend() && value != 0; ++at, value >>= 4) {
        *at = "0123456789ABCDEF"[value & 0xF];
    }
    return text;
}

// The bytes an apply wrote: the slot's first five, and the count when an add raised it. The
// old and the new values side by side, so a dry run shows exactly what a save would change.
std::string DescribeWrite(std::span<const std::uint8_t> before, const DriverImage& image, int slot,
                          const std::string& path) {
    const auto after = image.Bytes();
    const auto table = static_cast<std::size_t>(image.GetTableOffset());
    const auto describe = [&](std::string_view what, std::size_t at, std::size_t size) {
        std::string was;
        std::string becomes;
        for (std::size_t i = at; i < at + size; ++i) {
            was += (i > at ? " " : "") + Hex(before[i], 2);
            becomes += (i > at ? " " : "") + Hex(after[i], 2);
        }
        return "  " + std::string(what) + ", bytes 0x" + Hex(at, 8) + "-0x" +
               Hex(at + size - 1, 8) + ": " + was + " -> " + becomes + "\n";
    };
    std::string text = "Dry run, nothing written to " + path + ". A save would write:\n";
    // Bytes 0-4 of the slot: everything before the three bytes that are never written.
    text += describe("slot " + std::to_string(slot),
                     table + kEntryHeaderSize + kEntrySize * static_cast<std::size_t>(slot),
                     kRestOffset);
    const std::size_t count = table + kCountOffset;
    if (!std::equal(before.begin() + static_cast<std::ptrdiff_t>(count),
                    before.begin() + static_cast<std::ptrdiff_t>(count + 2),
                    after.begin() + static_cast<std::ptrdiff_t>(count))) {
        text += describe("count", count, 2);
    }
    return text;
}

// The checks before the driver is touched, then the load: held for writing unless a dry run.
// kExitSuccess, or the status of the message already shown.
int LoadForEdit(const std::string& driver, const std::optional<std::string>& vid,
                const std::optional<std::string>& pid, bool dryRun, DriverSession& session,
                Console& console) {
    if (!FitsHexField(vid) || !FitsHexField(pid)) {
        return console.Fail(kExitRefused, message::kInvalidHex);
    }
    const auto path = AbsoluteFileName(driver);
    if (!path) {
        return console.Fail(kExitRefused, message::kCannotRead);
    }
    return session.Load(*path, dryRun ? Access::read : Access::edit, console);
}

// Apply, then either describe the change (dry run) or print the entry and save. The line
// goes out before the save so that nothing is written when it cannot be delivered.
int ApplyAndSave(DriverSession& session, int position, int itemValue, const EntryFields& fields,
                 bool dryRun, Console& console) {
    DriverImage& image = session.image();
    const auto current = image.Bytes();
    const std::vector<std::uint8_t> before(current.begin(), current.end());
    const ApplyResult result = Apply(image, position, itemValue, fields);
    if (result.outcome != ApplyOutcome::applyOk) {
        return console.Fail(kExitRefused, MessageFor(result.outcome));
    }
    std::string text = FormatEntryLine(image, position);
    if (dryRun) {
        text += DescribeWrite(before, image, position, session.path());
    } else if (!session.CanSave()) {
        return console.Fail(kExitRefused, message::kCannotUpdate);
    }
    if (!console.Print(text)) {
        return console.Fail(kExitRefused, message::kCannotWriteOutput);
    }
    return dryRun ? kExitSuccess : session.Save(console);
}

void AddEditFlags(CLI::App& command, bool& writeProtect, bool& dryRun) {
    command.add_flag("--write-protect", writeProtect,
                     "Mark the device write-protected (no later command can clear the mark)");
    command.add_flag("--dry-run", dryRun,
                     "Check the edit and show the bytes a save would change; write nothing");
}

}  // namespace

CLI::App* SetupAdd(CLI::App& app, AddOptions& options) {
    CLI::App* command = app.add_subcommand("add", "Add an entry in the next free slot");
    command->footer(
        "The entry goes into the slot after the last one, as the dialog's \"---- New entry "
        "----\" item does; a table of capacity N takes at most N-1 entries. The VID/PID pair "
        "must be new to the table.");
    AddDriverArgument(*command, options.driver);
    command->add_option("--vid", options.vid, std::string("Vendor ID: ") + kHexHelp)
        ->required()
        ->type_name("HEX");
    command->add_option("--pid", options.pid, std::string("Product ID: ") + kHexHelp)
        ->required()
        ->type_name("HEX");
    AddProtocolOption(*command, options.protocol, "Transfer protocol")->required();
    AddEditFlags(*command, options.writeProtect, options.dryRun);
    return command;
}

int RunAdd(const AddOptions& options, Console& console) {
    DriverSession session;
    if (const int status =
            LoadForEdit(options.driver, options.vid, options.pid, options.dryRun, session, console);
        status != kExitSuccess) {
        return status;
    }
    const DriverImage& image = session.image();
    // The free slot after the last entry is not an entry: whatever its code byte says, the
    // new entry replaces all four fields, so its old write-protect bit does not bar the add.
    EntryFields fields = GetFieldsFor(image, NewEntryMarker).fields;
    fields.m_strVID = options.vid;
    fields.m_strPID = options.pid;
    fields.m_nProtocol = ChoiceFor(options.protocol);
    fields.m_bWriteProtect = options.writeProtect;
    return ApplyAndSave(session, image.GetCount(), NewEntryMarker, fields, options.dryRun, console);
}

CLI::App* SetupUpdate(CLI::App& app, UpdateOptions& options) {
    CLI::App* command = app.add_subcommand("update", "Change the entry at list position SLOT");
    command->footer(
        "Fields not given keep their values; at least one must be given. A write-protected "
        "entry cannot be changed. An entry whose protocol the list shows as Unknown needs "
        "--protocol.");
    AddDriverArgument(*command, options.driver);
    command->add_option("SLOT", options.slot, "The entry's list position, 0 to count-1 (see list)")
        ->required()
        ->type_name("")
        ->check(CLI::Validator(CheckSlotDigits, "", "position"));
    command->add_option("--vid", options.vid, std::string("New vendor ID: ") + kHexHelp)
        ->type_name("HEX");
    command->add_option("--pid", options.pid, std::string("New product ID: ") + kHexHelp)
        ->type_name("HEX");
    AddProtocolOption(*command, options.protocol, "New transfer protocol");
    AddEditFlags(*command, options.writeProtect, options.dryRun);
    return command;
}

int RunUpdate(const UpdateOptions& options, Console& console) {
    // Re-applying an entry unchanged still rewrites its code byte; that should be asked for
    // (say --protocol with the current name), not be what a forgotten option does.
    if (!options.vid && !options.pid && !options.protocol && !options.writeProtect) {
        return console.Fail(kExitUsage,
                            "update: nothing to change; give --vid, --pid, --protocol or "
                            "--write-protect (run 'morvex-cli update --help')");
    }
    DriverSession session;
    if (const int status =
            LoadForEdit(options.driver, options.vid, options.pid, options.dryRun, session, console);
        status != kExitSuccess) {
        return status;
    }
    const DriverImage& image = session.image();
    const int count = image.GetCount();
    int slot = -1;
    const char* const first = options.slot.data();
    const char* const last = first + options.slot.size();
    const auto [end, error] = std::from_chars(first, last, slot);
    if (error != std::errc() || end != last || slot < 0 || slot >= count) {
        const std::string entries =
            count > 0 ? "its entries are at SLOT 0 to " + std::to_string(count - 1)
                      : "it has no entries";
        return console.Fail(
            kExitUsage, "update: SLOT " + options.slot + " is not in use in the table; " + entries);
    }
    const EntryView view = GetFieldsFor(image, slot);
    if (!view.canApply) {
        return console.Fail(kExitRefused, message::kWriteProtected);
    }
    EntryFields fields = view.fields;
    if (options.vid) {
        fields.m_strVID = *options.vid;
    }
    if (options.pid) {
        fields.m_strPID = *options.pid;
    }
    if (options.protocol) {
        fields.m_nProtocol = ChoiceFor(*options.protocol);
    }
    if (options.writeProtect) {
        fields.m_bWriteProtect = true;
    }
    return ApplyAndSave(session, slot, slot, fields, options.dryRun, console);
}

}  // namespace morvex::cli
