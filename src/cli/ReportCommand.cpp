// morvex-cli report: the dialog's "Text out" report, to a file or to standard output.
#include "cli/Commands.h"
#include "cli/DriverSession.h"
#include "cli/Messages.h"
#include "cli/Presentation.h"
#include "image/FileSystem.h"
#include "report/TextReport.h"

namespace morvex::cli {
namespace {

constexpr std::string_view kStandardOutput = "-";

}  // namespace

CLI::App* SetupReport(CLI::App& app, ReportOptions& options) {
    CLI::App* command = app.add_subcommand("report", "Write the table's text report to OUTPUT");
    command->footer(
        "The report is the one the dialog's \"Text out\" writes, CR LF line ends included. "
        "An existing OUTPUT is replaced; OUTPUT may not be the driver itself.");
    AddDriverArgument(*command, options.driver);
    command
        ->add_option("OUTPUT", options.output,
                     "The report file, or - for standard output (./- for a file named -)")
        ->required()
        ->type_name("");
    return command;
}

int RunReport(const ReportOptions& options, Console& console) {
    const auto path = AbsoluteFileName(options.driver);
    if (!path) {
        return console.Fail(kExitRefused, message::kCannotRead);
    }
    const bool toStandardOutput = options.output == kStandardOutput;
    if (!toStandardOutput && NameTheSameFile(*path, options.output)) {
        return console.Fail(kExitUsage,
                            "report: OUTPUT is the driver file itself; the report would "
                            "overwrite it");
    }
    DriverSession session;
    if (const int status = session.Load(*path, Access::read, console); status != kExitSuccess) {
        return status;
    }
    if (toStandardOutput) {
        if (!console.Print(TextReport::FormatReport(session.image(), *path))) {
            return console.Fail(kExitRefused, message::kTextOutFailure);
        }
        return kExitSuccess;
    }
    if (TextReport::Write(options.output, session.image(), *path) != ReportOutcome::written) {
        return console.Fail(kExitRefused, message::kTextOutFailure);
    }
    return kExitSuccess;
}

}  // namespace morvex::cli
