// Formatting and writing the text report.
#include "report/TextReport.h"

#include <cstdint>
#include <span>

#include "editor/EntryEditor.h"

namespace morvex::TextReport {
namespace {

constexpr const char* kEndOfLine = "\r\n";

// The report replaces its file: aimed at the driver, by any name or link, it would wipe the
// very file it lists.
bool NamesTheDriver(const std::string& reportPath, const std::string& driverPath) {
    return NameTheSameFile(reportPath, driverPath);
}

}  // namespace

const char* ProtocolLabel(std::uint8_t code) {
    switch (DecodeProtocol(code)) {
        case ProtocolChoice::cbi:
            return "CBI";
        case ProtocolChoice::cbiFirmware:
            return "CBI( with F/W download for KVOR-3 )";
        case ProtocolChoice::initializer:
            return "Initializer for KVOR-3";
        case ProtocolChoice::bulkOnly:
            return "BULK Only";
        case ProtocolChoice::cbNonInterrupt:
            return "CB( Non Interrupt Endpoint )";
        case ProtocolChoice::ignore:
            break;
    }
    return "Unknown";
}

std::string FormatReport(const DriverImage& image, const std::string& driverPath) {
    std::string out;
    out.reserve(256 + driverPath.size());
    out += "***** DOS USB Driver PID/VID Setting List ****";
    out += kEndOfLine;
    out += kEndOfLine;
    out += "    File = \"" + driverPath + "\"";
    out += kEndOfLine;
    out += kEndOfLine;
    out += "    TotalEntrySpace = " + std::to_string(image.GetCapacity());
    out += kEndOfLine;
    out += "    NumberOfEntry   = " + std::to_string(image.GetCount());
    out += kEndOfLine;
    out += kEndOfLine;
    const int count = image.GetCount();
    for (int slot = 0; slot < count; ++slot) {
        const DeviceEntry entry = image.GetEntry(slot);
        out += "    VID = " + FormatHex16(entry.vid) + "  PID = " + FormatHex16(entry.pid) +
               "    Protocol = " + ProtocolLabel(entry.code) + " " +
               (IsWriteProtected(entry.code) ? "(Write Protected)" : "");
        out += kEndOfLine;
    }
    return out;
}

ReportOutcome Write(const std::string& reportPath, const DriverImage& image,
                    const std::string& driverPath, FileSystem& files) {
    if (!image.IsLoaded() || NamesTheDriver(reportPath, driverPath)) {
        return ReportOutcome::reportFailed;
    }
    const std::string text = FormatReport(image, driverPath);
    auto file = files.Open(reportPath, OpenMode::createOrReplace);
    if (file == nullptr) {
        return ReportOutcome::reportFailed;
    }
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    const bool written = WriteFully(*file, 0, bytes) && file->Sync();
    const bool closed = file->Close();
    return written && closed ? ReportOutcome::written : ReportOutcome::reportFailed;
}

}  // namespace morvex::TextReport
