// The vCard layout end to end: phones exported through the phone manager from the simulator, the
// file read back by our own reader (the line rules), by python3-vobject (a real parser) and by
// khard (a real address book), and every contact compared with what the Google layout writes for
// the same phone.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"
#include "CsvReadBack.h"
#include "ExpectedExport.h"
#include "ExportSinks.h"
#include "TempDir.h"
#include "VCardReadBack.h"
#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "common/StorageKind.h"
#include "export/ContactField.h"
#include "export/OutputFormat.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/ScenarioGenerator.h"
#include "phonesim/Simulator.h"
#include "tasks/PhoneManager.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using nlohmann::json;
using test_support::ChildProcess;
using test_support::CsvRow;
using test_support::readFileBytes;
using test_support::TempDir;

// Both storages of the phone into a file of the layout; the file's bytes.
std::string exportPhone(const phonesim::Scenario& scenario, OutputFormat layout,
                        const fs::path& path) {
    phonesim::Simulator phone(scenario);
    export_test::RecordingExportSink exportSink;
    export_test::QuestionSink questions;
    {
        PhoneManager manager(text_codec::fromUtf8(phone.portPath()), scenario.phone.extended);
        manager.setPath(text_codec::fromUtf8(path.string()));
        manager.setFormat(layout);
        manager.setOutputCharset(output_charset::Ucs2);
        manager.setImei(text_codec::fromUtf8(scenario.phone.imei));
        manager.startExport({StorageKind::Memory, StorageKind::Sim}, u"UCS2", exportSink,
                            questions);
        EXPECT_TRUE(exportSink.waitForFinished(2));
        EXPECT_EQ(exportSink.startsAndFinishes().back(), "finished(1)");
        EXPECT_EQ(manager.finishExport(), ExportFileOutcome::Saved);
    }
    return readFileBytes(path);
}

std::string utf8(const std::u16string& text) {
    return text_codec::toUtf8(text);
}

// The values of a Google cell, split where the layout joined them.
std::vector<std::string> valuesOf(const std::u16string& cell) {
    std::vector<std::string> values;
    std::string text = utf8(cell);
    if (text.empty())
        return values;
    for (std::size_t at; (at = text.find(" ::: ")) != std::string::npos;) {
        values.push_back(text.substr(0, at));
        text.erase(0, at + 5);
    }
    values.push_back(text);
    return values;
}

// The values of the card's properties whose types are exactly these.
std::vector<std::string> typed(const json& properties, const std::vector<std::string>& types) {
    std::vector<std::string> values;
    for (const json& property : properties) {
        if (property[0].get<std::vector<std::string>>() == types)
            values.push_back(property[1].get<std::string>());
    }
    return values;
}

std::vector<std::string> sorted(std::vector<std::string> values) {
    std::sort(values.begin(), values.end());
    return values;
}

std::string rightTrimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// A postal address as the Google layout writes it: the phone's parts (street, extended address,
// locality, region, postal code, country) with the empty ones before the first text dropped and
// the rest joined by blanks; trailing blanks do not count.
std::string googleAddress(const json& parts) {
    std::vector<std::string> phoneOrder;
    for (const std::size_t place : {2u, 1u, 3u, 4u, 5u, 6u})
        phoneOrder.push_back(parts.at(place).get<std::string>());
    std::string text;
    bool leading = true;
    for (const std::string& part : phoneOrder) {
        if (leading && part.empty())
            continue;
        if (!leading)
            text += ' ';
        leading = false;
        text += part;
    }
    return rightTrimmed(text);
}

std::vector<std::string> googleAddresses(const json& adr, const std::vector<std::string>& types) {
    std::vector<std::string> values;
    for (const json& property : adr) {
        if (property[0].get<std::vector<std::string>>() == types)
            values.push_back(googleAddress(property[1]));
    }
    return values;
}

// Whether a Google birthday cell names a real day (checked by the standard library).
bool isDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    const int year = std::stoi(text.substr(0, 4));
    const unsigned month = static_cast<unsigned>(std::stoi(text.substr(5, 2)));
    const unsigned day = static_cast<unsigned>(std::stoi(text.substr(8, 2)));
    return year >= 1 &&
           std::chrono::year_month_day(std::chrono::year(year), std::chrono::month(month),
                                       std::chrono::day(day))
               .ok();
}

// The scenario's records of both storages, in the order an export writes their contacts.
std::vector<const phonesim::Contact*> recordsOf(const phonesim::Scenario& scenario) {
    std::vector<const phonesim::Contact*> records;
    for (const std::string_view name : {"ME", "SM"}) {
        if (const phonesim::Storage* storage = scenario.storage(name)) {
            for (const auto& [index, contact] : storage->contacts)
                records.push_back(&contact);
        }
    }
    return records;
}

// A record's e-mail addresses: all of them, or those without a label of their own, which the
// Google layout has no column for.
std::vector<std::string> emailsOf(const phonesim::Contact& contact, bool plainOnly) {
    std::vector<std::string> values;
    for (const phonesim::Item& item : contact.items) {
        if (phonesim::classOfType(item.type) == phonesim::ItemClass::Email &&
            (!plainOnly || item.type == contact_kind::PlainEmail))
            values.push_back(utf8(item.value));
    }
    return values;
}

// The cards of the file as python3-vobject reads them.
json readWithVobject(const fs::path& file) {
    ChildProcess reader(CONTAXIO_DEBIAN_PYTHON, {CONTAXIO_READ_VCARDS, file.string()});
    const int status = reader.wait(60s);
    EXPECT_EQ(status, 0) << reader.errors();
    if (status != 0)
        return json::array();
    return json::parse(reader.output());
}

// Lines of khard's parsable output, split at tabs.
std::vector<std::vector<std::string>> khardLines(const std::string& output) {
    std::vector<std::vector<std::string>> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        std::vector<std::string> fields;
        std::size_t from = start;
        for (std::size_t tab; (tab = output.find('\t', from)) < end; from = tab + 1)
            fields.push_back(output.substr(from, tab - from));
        fields.push_back(output.substr(from, end - from));
        lines.push_back(std::move(fields));
        start = end + 1;
    }
    return lines;
}

// khard with a configuration of its own, over an address-book folder.
class Khard {
public:
    explicit Khard(const fs::path& folder) {
        fs::create_directories(home_.path() / "config" / "khard");
        test_support::writeFileBytes(home_.path() / "config" / "khard" / "khard.conf",
                                     "[addressbooks]\n[[phone]]\npath = " + folder.string() +
                                         "\n\n[general]\ndebug = no\neditor = /bin/false\n"
                                         "merge_editor = /bin/false\n\n[contact table]\n"
                                         "display = formatted_name\nshow_uids = yes\n"
                                         "sort = last_name\n\n[vcard]\npreferred_version = 3.0\n"
                                         "search_in_source_files = no\nskip_unparsable = no\n");
    }

    // What the command prints; a failure fails the test.
    std::string run(const std::vector<std::string>& arguments) {
        ChildProcess::Options options;
        options.environment = {"HOME=" + home_.path().string(),
                               "XDG_CONFIG_HOME=" + (home_.path() / "config").string(),
                               "LC_ALL=C.UTF-8"};
        ChildProcess khard(CONTAXIO_KHARD, arguments, options);
        EXPECT_EQ(khard.wait(60s), 0) << khard.errors();
        EXPECT_EQ(khard.errors(), "");
        return khard.output();
    }

private:
    TempDir home_;
};

// Exports the phone in both layouts and checks the vCards against the Google rows, with our own
// reader, vobject and khard.
void checkPhone(const phonesim::Scenario& scenario) {
    TempDir dir;
    const std::string csv = exportPhone(scenario, OutputFormat::GoogleCsv, dir.file("g.csv"));
    const fs::path vcf = dir.file("contacts.vcf");
    const std::string vcards = exportPhone(scenario, OutputFormat::VCard, vcf);

    std::vector<CsvRow> rows;
    std::string problem;
    ASSERT_TRUE(test_support::readCsvFile(csv, output_charset::Ucs2, rows, problem)) << problem;
    ASSERT_GT(rows.size(), 1u);
    rows.erase(rows.begin());  // the header
    const export_test::ExpectedContacts expected =
        export_test::joined(export_test::expectedContacts(scenario, "ME", true),
                            export_test::expectedContacts(scenario, "SM", true));
    ASSERT_EQ(expected.size(), rows.size());
    const std::vector<const phonesim::Contact*> records = recordsOf(scenario);
    ASSERT_EQ(records.size(), expected.size());

    // Our own reader: the line rules, and one card per row.
    std::vector<test_support::VCard> ours;
    ASSERT_TRUE(test_support::readVCardFile(vcards, ours, problem)) << problem;
    ASSERT_EQ(ours.size(), rows.size());

    const json cards = readWithVobject(vcf);
    ASSERT_EQ(cards.size(), rows.size());
    std::set<std::string> uids;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CsvRow& row = rows[i];
        const json& card = cards[i];
        const auto cell = [&row](std::size_t column) { return utf8(row.at(column - 1).text); };
        SCOPED_TRACE("contact " + std::to_string(i + 1) + ": " + cell(1));
        EXPECT_EQ(card["version"], "3.0");
        // Names: the Google layout writes given, blank, family in its Name column.
        const std::vector<std::string> n = card["n"];
        ASSERT_EQ(n.size(), 5u);
        EXPECT_EQ(n[0], cell(4));
        EXPECT_EQ(n[2], cell(3));
        EXPECT_EQ(n[1] + " " + n[0], cell(1));
        EXPECT_EQ(n[3] + n[4], "");
        const std::string display =
            n[1].empty() || n[0].empty() ? n[1] + n[0] : cell(1);  // no lone blank
        EXPECT_EQ(card["fn"], display);
        // Numbers, kind by kind; the other kinds in any order.
        const json& tel = card["tel"];
        EXPECT_EQ(typed(tel, {"PREF", "VOICE"}), valuesOf(row.at(18).text));
        EXPECT_EQ(typed(tel, {"HOME", "VOICE"}), valuesOf(row.at(20).text));
        EXPECT_EQ(typed(tel, {"WORK", "VOICE"}), valuesOf(row.at(22).text));
        EXPECT_EQ(typed(tel, {"CELL"}), valuesOf(row.at(24).text));
        EXPECT_EQ(typed(tel, {"FAX"}), valuesOf(row.at(26).text));
        EXPECT_EQ(typed(tel, {"PAGER"}), valuesOf(row.at(28).text));
        EXPECT_EQ(sorted(typed(tel, {"VOICE"})), sorted(valuesOf(row.at(30).text)));
        // E-mail: the Google columns, and the addresses without a label that it has none for.
        const json& email = card["email"];
        EXPECT_EQ(typed(email, {"INTERNET", "WORK"}), valuesOf(row.at(12).text));
        EXPECT_EQ(typed(email, {"INTERNET", "HOME"}), valuesOf(row.at(14).text));
        std::vector<std::string> other = valuesOf(row.at(16).text);
        for (const std::string& plain : emailsOf(*records[i], true))
            other.push_back(plain);
        EXPECT_EQ(sorted(typed(email, {"INTERNET"})), sorted(other));
        EXPECT_EQ(email.size(), emailsOf(*records[i], false).size());
        // Postal and web addresses.
        const json& adr = card["adr"];
        const auto googleCell = [&row](std::size_t index) {
            std::vector<std::string> values;
            for (const std::string& value : valuesOf(row.at(index).text))
                values.push_back(rightTrimmed(value));
            return values;
        };
        EXPECT_EQ(googleAddresses(adr, {"HOME"}), googleCell(32));
        EXPECT_EQ(googleAddresses(adr, {"WORK"}), googleCell(34));
        EXPECT_EQ(googleAddresses(adr, {}), googleCell(36));
        EXPECT_EQ(card["url"].get<std::vector<std::string>>(), valuesOf(row.at(38).text));
        // The birthday where the Google layout's text names a day; the group unless the default.
        if (isDate(cell(5)))
            EXPECT_EQ(card["bday"], cell(5));
        else
            EXPECT_TRUE(card["bday"].is_null()) << card["bday"];
        if (cell(11) == "General")
            EXPECT_TRUE(card["categories"].is_null());
        else
            EXPECT_EQ(card["categories"], json::array({cell(11)}));
        // A name-based UID of each its own.
        const std::string uid = card["uid"];
        EXPECT_EQ(uid.size(), 36u);
        EXPECT_EQ(uid.at(14), '5') << uid;
        EXPECT_TRUE(uids.insert(uid).second) << "a UID twice: " << uid;
    }
    EXPECT_EQ(vcards.find(scenario.phone.imei), std::string::npos) << "the IMEI is in the file";

    // The next export of the same phone gives every card the same UID.
    const std::string again = exportPhone(scenario, OutputFormat::VCard, dir.file("again.vcf"));
    EXPECT_EQ(again, vcards);

    // khard reads a folder of one file per card, as address-book folders keep them.
    const fs::path folder = dir.path() / "addressbook";
    fs::create_directory(folder);
    const std::vector<std::string> files = test_support::splitVCardFile(vcards);
    ASSERT_EQ(files.size(), cards.size());
    std::multiset<std::pair<std::string, std::string>> names, numbers;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string uid = cards[i]["uid"];
        test_support::writeFileBytes(folder / (uid + ".vcf"), files[i]);
        const std::string name = cards[i]["fn"].get<std::string>();
        names.emplace(uid, name);
        for (const json& tel : cards[i]["tel"])
            numbers.emplace(tel[1].get<std::string>(), name);
    }
    Khard khard(folder);
    std::multiset<std::pair<std::string, std::string>> listed, phoned;
    for (const auto& line : khardLines(khard.run({"list", "--parsable"}))) {
        ASSERT_EQ(line.size(), 3u);
        listed.emplace(line[0], line[1]);
    }
    EXPECT_EQ(listed, names);
    for (const auto& line : khardLines(khard.run({"phone", "--parsable"}))) {
        ASSERT_EQ(line.size(), 3u);
        phoned.emplace(line[0], line[1]);
    }
    EXPECT_EQ(phoned, numbers);
}

TEST(VCardImport, TheDemoPhoneReadsBackWhole) {
    checkPhone(phonesim::BuiltInScenarios::demo());
}

TEST(VCardImport, AGeneratedPhonebookOfEveryScriptReadsBackWhole) {
    phonesim::ScenarioGenerator::Options options;
    options.contacts = 300;
    options.simContacts = 40;
    options.extended = true;
    options.seed = 24;
    checkPhone(phonesim::ScenarioGenerator::generate(options));
}

}  // namespace
