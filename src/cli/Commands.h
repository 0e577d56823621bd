// The commands of morvex-cli: for each, its options, how it joins the command line, and its
// run function.
#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/Console.h"

namespace morvex::cli {

// The DRIVER argument every command starts with.
void AddDriverArgument(CLI::App& command, std::string& driver);

struct ListOptions {
    std::string driver;
    bool json = false;
};
CLI::App* SetupList(CLI::App& app, ListOptions& options);
int RunList(const ListOptions& options, Console& console);

struct AddOptions {
    std::string driver;
    std::string vid;
    std::string pid;
    std::string protocol;  // one of the protocol names, as given
    bool writeProtect = false;
    bool dryRun = false;
};
CLI::App* SetupAdd(CLI::App& app, AddOptions& options);
int RunAdd(const AddOptions& options, Console& console);

struct UpdateOptions {
    std::string driver;
    std::string slot;  // decimal digits; the range is known only once the table is read
    std::optional<std::string> vid;
    std::optional<std::string> pid;
    std::optional<std::string> protocol;
    bool writeProtect = false;
    bool dryRun = false;
};
CLI::App* SetupUpdate(CLI::App& app, UpdateOptions& options);
int RunUpdate(const UpdateOptions& options, Console& console);

struct ReportOptions {
    std::string driver;
    std::string output;  // "-" for standard output
};
CLI::App* SetupReport(CLI::App& app, ReportOptions& options);
int RunReport(const ReportOptions& options, Console& console);

// Parses the command line, runs the chosen command and returns the exit status.
int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace morvex::cli
