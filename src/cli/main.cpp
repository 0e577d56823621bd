// morvex-cli's entry point.
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#endif

#include "cli/Commands.h"

int main(int argc, char** argv) {
#ifdef _WIN32
    // "report DRIVER -" must deliver the report's own CR LF byte for byte; a text-mode
    // stdout would add a second CR before every LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    return morvex::cli::RunCommandLine(argc, argv, std::cout, std::cerr);
}
