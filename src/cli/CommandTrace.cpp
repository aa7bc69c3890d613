#include "cli/CommandTrace.h"

#include <cerrno>

#include "cli/UserMessages.h"

bool CommandTrace::begin(const std::string& path, const std::string& port, Console& console) {
    path_ = path;
    if (path.empty()) {
        return true;
    }
    int error = 0;
    file_ = TraceFile::begin(path, "contaxio-cli", port, error);
    if (!file_) {
        console.report(error == EINVAL ? UserMessages::traceIsTerminal(path)
                                       : UserMessages::traceProblem(path, error));
        return false;
    }
    return true;
}

void CommandTrace::end(Console& console) {
    if (file_ && file_->failure() != 0) {
        console.report(UserMessages::traceIncomplete(path_, file_->failure()));
    }
}
