#include "PhonebookHarness.h"

#include <array>
#include <fstream>
#include <iterator>

#include "CsvReadBack.h"
#include "ExpectedRows.h"
#include "FuzzCheck.h"
#include "ScratchFolder.h"
#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "export/OutputFormat.h"

namespace fuzz_support {

namespace {

using test_support::readCsvFile;

std::string readFile(const std::u16string& path) {
    std::ifstream in(text_codec::toUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string describe(const CsvRow& row) {
    std::string text;
    for (const CsvCell& cell : row) {
        text += cell.quoted ? "[\"" : "[";
        text += printable(cell.text, 80);
        text += cell.quoted ? "\"]" : "]";
    }
    return text;
}

void checkFile(const char* layout, const std::u16string& path, std::int32_t outputCharset,
               const CsvRow& header, const std::vector<CsvRow>& expected) {
    const std::string bytes = readFile(path);
    std::vector<CsvRow> rows;
    std::string problem;
    FUZZ_CHECK(readCsvFile(bytes, outputCharset, rows, problem),
               "an output file does not read back",
               std::string(layout) + ": " + problem + "\n" + printable(bytes));
    // No contact, no header: the file holds its byte-order mark only.
    const std::size_t want = expected.empty() ? 0 : expected.size() + 1;
    FUZZ_CHECK(rows.size() == want, "an output file does not hold a row per contact",
               std::string(layout) + ": " + std::to_string(rows.size()) + " rows for " +
                   std::to_string(expected.size()) + " contacts");
    if (expected.empty())
        return;
    FUZZ_CHECK(rows[0] == header, "the header row is wrong",
               std::string(layout) + ": " + describe(rows[0]));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        FUZZ_CHECK(rows[i + 1] == expected[i], "a row does not hold its contact",
                   std::string(layout) + " row " + std::to_string(i + 1) + "\n  written:  " +
                       describe(rows[i + 1]) + "\n  expected: " + describe(expected[i]));
    }
}

}  // namespace

PhonebookOptions PhonebookOptions::fromByte(unsigned char choice) {
    static constexpr std::array<const char16_t*, 8> kCharsets{
        u"UCS2", u"UTF8", u"ASCII", u"GSM", u"ucs2", u"HEX", u"IRA", u"8859-1"};
    static constexpr std::array<std::int32_t, 4> kOutputs{
        output_charset::Ucs2, output_charset::Utf8, output_charset::Ascii, output_charset::Utf8};
    PhonebookOptions options;
    options.charsetName = kCharsets[choice & 0x07];
    options.outputCharset = kOutputs[(choice >> 3) & 0x03];
    options.sim = ((choice >> 5) & 0x01) != 0;
    options.maker = ((choice >> 6) & 0x01) != 0 ? PhoneMaker::Other : PhoneMaker::Own;
    return options;
}

PhonebookHarness::PhonebookHarness(const PhonebookOptions& options)
    : outputCharset_(options.outputCharset),
      googlePath_(text_codec::fromUtf8((ScratchFolder::instance().path() / "google").string())),
      outlookPath_(text_codec::fromUtf8((ScratchFolder::instance().path() / "outlook").string())),
      google_(
          std::make_unique<CSVExportManager>(OutputFormat::GoogleCsv, googlePath_, outputCharset_)),
      outlook_(std::make_unique<CSVExportManager>(OutputFormat::OutlookCsv, outlookPath_,
                                                  outputCharset_)) {
    contactBuilder_.addSink(this);
}

PhonebookHarness::~PhonebookHarness() = default;

void PhonebookHarness::onContact(const IContact& contact) {
    check(contact.entryCount() >= 0, "a contact with a negative entry count");
    googleRows_.push_back(test_support::expectedGoogleRow(contact, outputCharset_));
    outlookRows_.push_back(test_support::expectedOutlookRow(contact, outputCharset_));
    google_->writeContact(contact);
    outlook_->writeContact(contact);
}

void PhonebookHarness::finish() {
    check(googleRows_.size() == static_cast<std::size_t>(contactsHandedOn()),
          "the sink did not hear every contact handed on");
    google_.reset();
    outlook_.reset();
    checkFile("google", googlePath_, outputCharset_, test_support::expectedGoogleHeader(),
              googleRows_);
    checkFile("outlook", outlookPath_, outputCharset_, test_support::expectedOutlookHeader(),
              outlookRows_);
}

}  // namespace fuzz_support
