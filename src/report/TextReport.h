// TextReport: the plain-text listing of the table, CR LF line ends on every system.
#pragma once

#include <string>

#include "image/DriverImage.h"
#include "image/FileSystem.h"

namespace morvex {
enum class ReportOutcome { written, reportFailed };
}  // namespace morvex

namespace morvex::TextReport {

// The label a code byte is reported with ("BULK Only", "Unknown", ...).
const char* ProtocolLabel(std::uint8_t code);

// The report's bytes for the image as it is in memory, unsaved edits included.
// `driverPath` is written as given (bytes in the system's 8-bit encoding).
std::string FormatReport(const DriverImage& image, const std::string& driverPath);

// Creates or replaces the report file and writes the report whole. Refused without
// touching any file unless the image is loaded, and when the report path names the driver
// file itself.
ReportOutcome Write(const std::string& reportPath, const DriverImage& image,
                    const std::string& driverPath, FileSystem& files = SystemFileSystem());

}  // namespace morvex::TextReport
