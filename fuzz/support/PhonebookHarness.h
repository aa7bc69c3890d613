#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CsvCell.h"
#include "ProtocolCheckingBuilder.h"
#include "charsets/PhoneMaker.h"
#include "export/CSVExportManager.h"
#include "phonebook/ContactBuilder.h"
#include "phonebook/IContactBuilderSink.h"

namespace fuzz_support {

using test_support::CsvCell;
using test_support::CsvRow;

// How a phonebook target reads its input, chosen by the input's first byte:
//   bits 0-2  the phone's charset: UCS2, UTF8, ASCII, GSM, ucs2, HEX, IRA, 8859-1 (HEX, which
//             the program does not know, decodes with the locale's charset)
//   bits 3-4  the output file's charset code: 0, 1, 2, and 1 again
//   bit 5     the storage is the SIM
//   bit 6     the phone is another maker's (the standard reader mends its habits)
struct PhonebookOptions {
    std::u16string charsetName;
    std::int32_t outputCharset = 0;
    bool sim = false;
    PhoneMaker maker = PhoneMaker::Own;

    static PhonebookOptions fromByte(unsigned char choice);
};

// The path of every contact a phonebook reader finishes: through a protocol check into the
// program's ContactBuilder, whose sink writes each contact in both CSV layouts with the program's
// CSVExportManager and notes the rows the contact should give. finish() then reads both files
// back and checks that they hold the header once and exactly those rows, in order: one row per
// contact handed on, none twice, none lost, every field where it belongs.
class PhonebookHarness final : private IContactBuilderSink {
public:
    explicit PhonebookHarness(const PhonebookOptions& options);
    ~PhonebookHarness() override;

    // The builder to hand to a reader.
    IContactBuilder& builder() { return checking_; }

    int contactsHandedOn() const { return checking_.contactsHandedOn(); }

    // Another sink for the finished contacts (not owned), called after the files are written.
    void addSink(IContactBuilderSink& sink) { contactBuilder_.addSink(&sink); }

    // A new answer starts: a contact its predecessor left open may be dropped.
    void abandonOpenContact() { checking_.abandonOpenContact(); }

    // Closes the files and checks them. Call once, after the last answer.
    void finish();

private:
    void onContact(const IContact& contact) override;

    std::int32_t outputCharset_;
    ContactBuilder contactBuilder_;
    ProtocolCheckingBuilder checking_{contactBuilder_};
    std::u16string googlePath_;
    std::u16string outlookPath_;
    std::unique_ptr<CSVExportManager> google_;
    std::unique_ptr<CSVExportManager> outlook_;
    std::vector<CsvRow> googleRows_;
    std::vector<CsvRow> outlookRows_;
};

}  // namespace fuzz_support
