// Answers to AT+MPGR and AT+MPBRE=a,b through the group and extended phonebook readers, in every
// charset, and every contact finished through both CSV layouts, the way an export reads them:
// the group table first, then block after block into one builder. For any bytes: nothing throws
// or crashes, the reader keeps the builder's protocol (a contact is only left open, and then
// dropped, at the end of an answer cut off before its result line), contacts end exactly where
// the index changes or a result line comes, and both files hold the header once and one row per
// contact that matches it (see PhonebookHarness).
//
// Input: byte 0 chooses the charsets and the SIM flag (PhonebookOptions); the rest is the
// answer to AT+MPGR and then the answers to the block reads, separated by NUL bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "AnswerLines.h"
#include "FuzzCheck.h"
#include "PhonebookHarness.h"
#include "phonebook/GroupTable.h"
#include "phonebook/MPBRERequest.h"
#include "phonebook/MPGRStateMachine.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtTokenizer.h"
#include "serial_comm/ResponseParser.h"

namespace {

// The contacts an answer finishes: one whenever the index of a line differs from the open
// contact's, and one at a result line, while a contact is open. A line whose index is empty
// opens none.
int contactsFinished(std::string_view answer) {
    int count = 0;
    std::string open;
    for (const std::string_view line : fuzz_support::answerLines(answer)) {
        std::string_view rest;
        if (line == "OK" || line == "ERROR") {
            count += open.empty() ? 0 : 1;
            open.clear();
        } else if (fuzz_support::lineNamed(line, "+MPBRE", rest)) {
            const std::vector<std::string_view> values = serial_comm::splitValues(
                rest, serial_comm::at::kValueSeparators, serial_comm::at::kValueQuotes);
            if (values.empty() || (!open.empty() && values.front() == open))
                continue;
            count += open.empty() ? 0 : 1;
            open = values.front();
        }
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto options = fuzz_support::PhonebookOptions::fromByte(data[0]);
    const std::vector<std::string_view> answers = fuzz_support::nulSeparated(
        std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

    GroupTable groups;
    MPGRStateMachine groupReader(groups, options.charsetName);
    serial_comm::parseResponse(groupReader, answers.front(), "+MPGR");

    fuzz_support::PhonebookHarness harness(options);
    const MPBRERequest request(options.charsetName, &groups, options.sim);
    for (std::size_t i = 1; i < answers.size(); ++i) {
        const int before = harness.contactsHandedOn();
        harness.abandonOpenContact();
        request.parse(std::string(answers[i]), harness.builder());
        const int finished = contactsFinished(answers[i]);
        FUZZ_CHECK(harness.contactsHandedOn() - before == finished,
                   "the contacts handed on do not end where the indexes change",
                   std::to_string(harness.contactsHandedOn() - before) + " contacts, " +
                       std::to_string(finished) +
                       " expected: " + fuzz_support::printable(answers[i]));
    }
    harness.finish();
    return 0;
}
