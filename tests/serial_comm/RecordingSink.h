#pragma once

#include <string>
#include <vector>

#include "serial_comm/ParseResponseSink.h"

namespace serial_comm_test {

// Writes every sink call down as one string: "begin:<prefix>", "value:<value>", "end",
// "result:ok" or "result:error".
class RecordingSink : public serial_comm::ParseResponseSink {
public:
    void beginLine(const std::string& prefix) override { calls.push_back("begin:" + prefix); }
    void onValue(const std::string& value) override { calls.push_back("value:" + value); }
    void endLine() override { calls.push_back("end"); }
    void onResult(bool failed) override { calls.push_back(failed ? "result:error" : "result:ok"); }

    std::vector<std::string> calls;
};

}  // namespace serial_comm_test
