#include "cli/RetryPrompt.h"

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

std::optional<RetryPrompt::Answer> RetryPrompt::answerOf(const std::string& line) {
    std::string word;
    for (const char c : line) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (word == "r" || word == "retry") {
        return Answer::Retry;
    }
    if (word == "a" || word == "abort") {
        return Answer::Abort;
    }
    return std::nullopt;
}

namespace {

// Longer lines are no answer anyway; what is beyond is dropped.
constexpr std::size_t kLongestLine = 64;

}  // namespace

RetryPrompt::Answer RetryPrompt::ask(int inputFd, std::ostream& out, const std::string& question,
                                     const std::function<bool()>& stopRequested) {
    out << question << " Retry or abort? [r/a] " << std::flush;
    std::string line;
    while (true) {
        if (stopRequested()) {
            out << '\n' << std::flush;
            return Answer::Abort;
        }
        pollfd input{inputFd, POLLIN, 0};
        const int ready = ::poll(&input, 1, 100);
        if (ready < 0 && errno != EINTR) {
            return Answer::Abort;
        }
        if (ready <= 0) {
            continue;
        }
        char c = 0;
        const ssize_t got = ::read(inputFd, &c, 1);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (got <= 0) {
            out << '\n' << std::flush;
            return Answer::Abort;
        }
        if (c != '\n') {
            if (line.size() < kLongestLine) {
                line += c;
            }
            continue;
        }
        if (const auto answer = answerOf(line)) {
            return *answer;
        }
        line.clear();
        out << "Please answer r (retry) or a (abort): " << std::flush;
    }
}
