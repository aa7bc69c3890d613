#pragma once

#include <ostream>
#include <string>

// Where contaxio-cli talks to people: results on standard output, progress, warnings, errors
// and questions on standard error, answers from standard input. Used on the main thread only.
class Console {
public:
    Console(std::ostream& out, std::ostream& err, int inputFd, bool errIsTerminal,
            bool inputIsTerminal);

    // The process's own standard streams, with their terminal flags.
    static Console standard();

    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }
    int inputFd() const { return inputFd_; }
    bool errIsTerminal() const { return errIsTerminal_; }
    bool inputIsTerminal() const { return inputIsTerminal_; }

    // "contaxio-cli: " and the message on a line of its own, on standard error: a failure, a
    // warning or a note.
    void error(const std::string& message);

private:
    std::ostream& out_;
    std::ostream& err_;
    int inputFd_;
    bool errIsTerminal_;
    bool inputIsTerminal_;
};
