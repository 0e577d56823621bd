// The command line: CLI11 parses it, the chosen command runs, and every parse error becomes
// one "morvex-cli: ..." line with exit status 2.
#include <exception>
#include <new>

#include "cli/Commands.h"
#include "cli/Messages.h"

namespace morvex::cli {

void AddDriverArgument(CLI::App& command, std::string& driver) {
    command.add_option("DRIVER", driver, "The driver file (KESTRIN.SYS)")
        ->required()
        ->type_name("");
}

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app(
        "Lists and edits the USB device table of a KESTRIN.SYS DOS driver, with the "
        "rules of the KESTRIN VID/PID Setup dialog. See morvex-cli(1).",
        "morvex-cli");
    app.set_version_flag("--version", std::string("morvex-cli ") + MORVEX_VERSION);
    // At most one command; none is caught below, so that an unknown word is named as such
    // rather than reported as a missing command.
    app.require_subcommand(0, 1);
    app.footer(
        "Exit status: 0 done; 1 refused by the file or by the table's rules (nothing written); "
        "2 wrong command line. Run 'morvex-cli COMMAND --help' for a command's options.");
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return "morvex-cli: " + std::string(error.what()) + " (run 'morvex-cli --help')\n";
    });

    ListOptions list;
    AddOptions add;
    UpdateOptions update;
    ReportOptions report;
    CLI::App* const listCommand = SetupList(app, list);
    CLI::App* const addCommand = SetupAdd(app, add);
    CLI::App* const updateCommand = SetupUpdate(app, update);
    CLI::App* const reportCommand = SetupReport(app, report);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // CLI11 has its own codes (105, 106, ...); scripts get one: 2. Help and --version
        // are CLI11's "errors" too, with code 0.
        return app.exit(error, out, err) == 0 ? kExitSuccess : kExitUsage;
    }

    Console console(out, err);
    // The core reports by outcome; what can still throw here (memory, the standard library)
    // ends as one line like every other failure, not as an abort.
    try {
        if (listCommand->parsed()) {
            return RunList(list, console);
        }
        if (addCommand->parsed()) {
            return RunAdd(add, console);
        }
        if (updateCommand->parsed()) {
            return RunUpdate(update, console);
        }
        if (reportCommand->parsed()) {
            return RunReport(report, console);
        }
    } catch (const std::bad_alloc&) {
        return console.Fail(kExitRefused, message::kNoMemory);
    } catch (const std::exception& error) {
        return console.Fail(kExitRefused, error.what());
    }
    return console.Fail(kExitUsage,
                        "A command is required: list, add, update or report (run 'morvex-cli "
                        "--help')");
}

}  // namespace morvex::cli
