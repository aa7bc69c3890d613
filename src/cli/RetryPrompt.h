#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

// Asks people whether to retry a failed write of the output file or to abort the export, on a
// terminal: the question goes to out, the answer comes as a line from the input descriptor.
class RetryPrompt {
public:
    enum class Answer { Retry, Abort };

    // Asks until an answer is understood. Abort when the input ends or fails, or as soon as
    // stopRequested turns true (looked at every 100 ms while waiting).
    static Answer ask(int inputFd, std::ostream& out, const std::string& question,
                      const std::function<bool()>& stopRequested);

    // "r", "retry", "a", "abort" (any case, blanks around ignored); nothing for anything else.
    static std::optional<Answer> answerOf(const std::string& line);
};
