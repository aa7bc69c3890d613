#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "PtyPair.h"
#include "session/TraceFile.h"

namespace {

TEST(TraceFile, EachChunkIsALineWithItsTimeDirectionAndExactBytes) {
    EXPECT_EQ(TraceFile::line(std::chrono::microseconds(412), true, "AT+MODE?\r\n"),
              "0.000412 > AT+MODE?\\r\\n\n");
    EXPECT_EQ(TraceFile::line(std::chrono::microseconds(12021937), false,
                              std::string("\r\nOK\r\n\0\xff\\\t", 10)),
              "12.021937 < \\r\\nOK\\r\\n\\x00\\xff\\\\\\t\n");
}

TEST(TraceFile, ATerminalIsNeverOpened) {
    test_support::PtyPair terminal;
    int error = 0;
    EXPECT_EQ(TraceFile::begin(terminal.slavePath(), "contaxio", "", error), nullptr);
    EXPECT_EQ(error, EINVAL);
}

}  // namespace
