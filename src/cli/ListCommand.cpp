// morvex-cli list: the table's entries, as aligned text or as one JSON object.
#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/DriverSession.h"
#include "cli/Messages.h"
#include "cli/Presentation.h"
#include "editor/EntryEditor.h"
#include "image/FileSystem.h"

namespace morvex::cli {
namespace {

std::string FormatText(const DriverImage& image, const std::string& path) {
    std::string text = "File:     " + path + "\n";
    text += "Capacity: " + std::to_string(image.GetCapacity()) + "\n";
    text += "Count:    " + std::to_string(image.GetCount()) + "\n";
    return text + FormatEntryLines(image);
}

std::string FormatJson(const DriverImage& image, const std::string& path) {
    // ordered_json keeps the keys in the documented order, which is easier to read.
    nlohmann::ordered_json entries = nlohmann::ordered_json::array();
    for (int slot = 0; slot < image.GetCount(); ++slot) {
        const DeviceEntry entry = image.GetEntry(slot);
        nlohmann::ordered_json item;
        item["slot"] = slot;
        item["vid"] = FormatHex16(entry.vid);
        item["pid"] = FormatHex16(entry.pid);
        item["code"] = entry.code;
        item["protocol"] = NameOf(DecodeProtocol(entry.code));
        item["writeProtect"] = IsWriteProtected(entry.code);
        entries.push_back(std::move(item));
    }
    nlohmann::ordered_json document;
    document["file"] = path;
    document["tableOffset"] = image.GetTableOffset();
    document["capacity"] = image.GetCapacity();
    document["count"] = image.GetCount();
    document["entries"] = std::move(entries);
    // A path is bytes, not necessarily UTF-8; JSON must be. Bytes that are not UTF-8 become
    // U+FFFD rather than aborting the listing.
    return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace

CLI::App* SetupList(CLI::App& app, ListOptions& options) {
    CLI::App* command =
        app.add_subcommand("list", "Show the table: path, capacity, count, one line per entry");
    command->footer(
        "Each entry line holds the slot (the SLOT of update), VID_xxxx&PID_xxxx, the protocol "
        "label of the report and \"(Write Protected)\" where set.");
    AddDriverArgument(*command, options.driver);
    command->add_flag("--json", options.json,
                      "Print one JSON object: file, tableOffset, capacity, count and entries "
                      "(slot, vid, pid, code, protocol, writeProtect)");
    return command;
}

int RunList(const ListOptions& options, Console& console) {
    const auto path = AbsoluteFileName(options.driver);
    if (!path) {
        return console.Fail(kExitRefused, message::kCannotRead);
    }
    DriverSession session;
    if (const int status = session.Load(*path, Access::read, console); status != kExitSuccess) {
        return status;
    }
    const std::string text =
        options.json ? FormatJson(session.image(), *path) : FormatText(session.image(), *path);
    if (!console.Print(text)) {
        return console.Fail(kExitRefused, message::kCannotWriteOutput);
    }
    return kExitSuccess;
}

}  // namespace morvex::cli
