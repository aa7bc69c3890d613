#pragma once

#include <string>

namespace serial_comm {

// Receives the parts of an answer that parseResponse() finds: for every line whose prefix is
// the command's name, beginLine, onValue for each value (quotes and brackets kept), endLine;
// and onResult for every line that is exactly "OK" (false) or "ERROR" (true), in answer order.
class ParseResponseSink {
public:
    virtual ~ParseResponseSink() = default;

    virtual void beginLine(const std::string& prefix) = 0;
    virtual void onValue(const std::string& value) = 0;
    virtual void endLine() = 0;
    virtual void onResult(bool failed) = 0;
};

}  // namespace serial_comm
