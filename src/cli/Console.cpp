#include "cli/Console.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>

#include "charsets/ShownText.h"

Console::Console(std::ostream& out, std::ostream& err, int inputFd, bool errIsTerminal,
                 bool inputIsTerminal)
    : out_(out),
      err_(err),
      results_(&out),
      inputFd_(inputFd),
      errIsTerminal_(errIsTerminal),
      inputIsTerminal_(inputIsTerminal) {}

Console Console::standard() {
    return Console(std::cout, std::cerr, STDIN_FILENO, ::isatty(STDERR_FILENO) == 1,
                   ::isatty(STDIN_FILENO) == 1);
}

void Console::report(const UserMessages::Message& message) {
    err_ << "contaxio-cli: " << shownText(message.text()) << '\n' << std::flush;
}

int Console::finishOutput() {
    errno = 0;
    out_.flush();
    if (&out_ == &std::cout && std::fflush(stdout) != 0 && out_.good()) {
        out_.setstate(std::ios::badbit);
    }
    if (out_.good()) {
        return 0;
    }
    return errno != 0 ? errno : EIO;
}
