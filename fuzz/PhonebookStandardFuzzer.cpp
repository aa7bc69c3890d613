// Answers to AT+CPBR=a,b through the standard phonebook reader, in every charset, and every
// contact it finishes through both CSV layouts. For any bytes: nothing throws or crashes, the
// reader keeps the builder's protocol, every "+CPBR" line that carries a value gives exactly
// one contact with one entry, and both files hold the header once and one row per contact
// that matches it (see PhonebookHarness).
//
// Input: byte 0 chooses the charsets (PhonebookOptions); the rest is one answer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "AnswerLines.h"
#include "FuzzCheck.h"
#include "PhonebookHarness.h"
#include "phonebook/CPBRCommand.h"
#include "phonebook/IContactBuilderSink.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtTokenizer.h"

namespace {

using fuzz_support::check;

// The lines that begin a contact: "+CPBR:" followed by at least one value (two separators in a
// row make an empty one).
int contactLines(std::string_view answer) {
    int count = 0;
    for (const std::string_view line : fuzz_support::answerLines(answer)) {
        std::string_view rest;
        if (fuzz_support::lineNamed(line, "+CPBR", rest) &&
            !serial_comm::splitValues(rest, serial_comm::at::kValueSeparators,
                                      serial_comm::at::kValueQuotes)
                 .empty())
            ++count;
    }
    return count;
}

// Every contact of the standard phonebook is one entry.
class EntryCheck final : public IContactBuilderSink {
public:
    void onContact(const IContact& contact) override {
        check(contact.entryCount() == 1, "a standard phonebook contact is not one entry");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto options = fuzz_support::PhonebookOptions::fromByte(data[0]);
    const std::string answer(reinterpret_cast<const char*>(data) + 1, size - 1);

    fuzz_support::PhonebookHarness harness(options);
    EntryCheck entries;
    harness.addSink(entries);
    CPBRCommand(options.charsetName, options.maker).parse(answer, harness.builder());
    const int lines = contactLines(answer);
    FUZZ_CHECK(harness.contactsHandedOn() == lines, "the contacts handed on are not one per line",
               std::to_string(harness.contactsHandedOn()) + " contacts from " +
                   std::to_string(lines) + " lines: " + fuzz_support::printable(answer));
    harness.finish();
    return 0;
}
