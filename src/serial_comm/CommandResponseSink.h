#pragma once

#include <string>

#include "serial_comm/ParseResponseSink.h"

namespace serial_comm {

// Base of the query commands' answer parsers: keeps the success flag, which starts false and
// follows every result line ("OK" sets it, "ERROR" clears it), so that an answer with neither
// leaves it false. The line calls do nothing unless a parser needs them.
class CommandResponseSink : public ParseResponseSink {
public:
    void beginLine(const std::string& /*prefix*/) override {}
    void onValue(const std::string& /*value*/) override {}
    void endLine() override {}
    void onResult(bool failed) override { succeeded_ = !failed; }

    bool succeeded() const { return succeeded_; }

private:
    bool succeeded_ = false;
};

}  // namespace serial_comm
