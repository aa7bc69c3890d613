#pragma once

#include <ostream>
#include <string>

#include "cli/UserMessages.h"

// Where contaxio-cli talks to people: results on standard output (or on standard error when
// standard output carries the CSV file), progress, warnings, errors and questions on standard
// error, answers from standard input. Used on the main thread only.
class Console {
public:
    Console(std::ostream& out, std::ostream& err, int inputFd, bool errIsTerminal,
            bool inputIsTerminal);

    // The process's own standard streams, with their terminal flags.
    static Console standard();

    // Where results go: standard output, or standard error after resultsToErrors().
    std::ostream& out() { return *results_; }
    std::ostream& err() { return err_; }
    int inputFd() const { return inputFd_; }
    bool errIsTerminal() const { return errIsTerminal_; }
    bool inputIsTerminal() const { return inputIsTerminal_; }

    // From now on results go to standard error: standard output carries the CSV file.
    void resultsToErrors() { results_ = &err_; }

    // "contaxio-cli: " and the message on a line of its own, on standard error. Control
    // characters in it (from file names, port names, what a phone sent) are shown escaped.
    void report(const UserMessages::Message& message);

    // Flushes standard output; 0 when everything written to it reached its destination, else
    // the errno of the failure (EIO when none is known): a full disk, a closed descriptor, a
    // pipe without a reader.
    int finishOutput();

private:
    std::ostream& out_;
    std::ostream& err_;
    std::ostream* results_;
    int inputFd_;
    bool errIsTerminal_;
    bool inputIsTerminal_;
};
