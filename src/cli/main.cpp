// morvex-cli's entry point.
#include <iostream>

#include "cli/Commands.h"

int main(int argc, char** argv) {
    return morvex::cli::RunCommandLine(argc, argv, std::cout, std::cerr);
}
