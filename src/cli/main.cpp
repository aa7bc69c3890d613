// contaxio-cli: exports the contacts of a USB phone into a CSV or vCard file, from a terminal or a
// script. See CliOptions.h for the command line and ExitStatus.h for the exit statuses.

#include <string>
#include <vector>

#include "cli/CliApplication.h"
#include "cli/Console.h"

int main(int argc, char** argv) {
    Console console = Console::standard();
    return CliApplication::run(std::vector<std::string>(argv + 1, argv + argc), console);
}
