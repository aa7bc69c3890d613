#include "cli/Console.h"

#include <unistd.h>

#include <iostream>

Console::Console(std::ostream& out, std::ostream& err, int inputFd, bool errIsTerminal,
                 bool inputIsTerminal)
    : out_(out),
      err_(err),
      inputFd_(inputFd),
      errIsTerminal_(errIsTerminal),
      inputIsTerminal_(inputIsTerminal) {}

Console Console::standard() {
    return Console(std::cout, std::cerr, STDIN_FILENO, ::isatty(STDERR_FILENO) == 1,
                   ::isatty(STDIN_FILENO) == 1);
}

void Console::error(const std::string& message) {
    err_ << "contaxio-cli: " << message << '\n' << std::flush;
}
