#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ExpectedExport.h"
#include "ExportSinks.h"
#include "StatisticsComparison.h"
#include "TempDir.h"
#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"
#include "phonesim/Simulator.h"
#include "tasks/PhoneManager.h"

// Phones in UTF8 or ASCII send names between double quotes as they stand, brackets and quotes
// included. Such names must reach the file whole, with every number of their contact.
namespace {

using export_test::scenarioFrom;

// Exports the phone's memory in the given charset into a Google CSV file; the file's bytes.
std::string exportMemory(const std::string& scenario, bool extended,
                         const std::u16string& charsetName, std::int32_t outputCharset,
                         ExportStatistics& statistics) {
    phonesim::Simulator phone(scenarioFrom(scenario));
    test_support::TempDir dir;
    const std::filesystem::path path = dir.file("contacts.csv");
    export_test::RecordingExportSink exportSink;
    export_test::QuestionSink questions;
    {
        PhoneManager manager(text_codec::fromUtf8(phone.portPath()), extended);
        manager.setPath(text_codec::fromUtf8(path.string()));
        manager.setFormat(OutputFormat::GoogleCsv);
        manager.setOutputCharset(outputCharset);
        manager.startExport({StorageKind::Memory}, charsetName, exportSink, questions);
        EXPECT_TRUE(exportSink.waitForFinished(1));
        statistics = manager.exportStatistics(StorageKind::Memory);
        EXPECT_EQ(manager.finishExport(), ExportFileOutcome::Saved);
    }
    return test_support::readFileBytes(path);
}

// The scenarios of the expected files in tests/data/exports/unusual-names-utf8 and
// unusual-names-ascii.
constexpr char kUtf8Phone[] = R"(
[phone]
extended = yes
charsets = UTF8
[storage ME]
range = 1-20
[contact ME 1]
name = Ann :)
phone.mobile = +4917012345
phone.home = 030123
[contact ME 2]
name = Bob (Work
phone.work = 0405
)";

constexpr char kAsciiPhone[] = R"(
[phone]
charsets = ASCII
[storage ME]
range = 1-20
[contact ME 1]
name = Ann :)
phone.mobile = +4917012345
[contact ME 2]
name = Bob (Work, 2nd floor
phone.work = 0405
[contact ME 3]
name = "a \"quoted\" nick"
phone.mobile = 0171
[contact ME 4]
name = (Work)
email = w@example.com
)";

TEST(UnusualNamesExport, AnExtendedUtf8PhoneExportsWholeNamesAndEveryNumber) {
    ExportStatistics statistics;
    const std::string file =
        exportMemory(kUtf8Phone, true, u"UTF8", output_charset::Utf8, statistics);
    EXPECT_EQ(file, export_test::expectedFile(
                        "unusual-names-utf8",
                        export_test::expectedContacts(scenarioFrom(kUtf8Phone), "ME", true),
                        OutputFormat::GoogleCsv, output_charset::Utf8));
    // Two contacts used of the storage; three entries read, two contacts written.
    EXPECT_EQ(statistics, (ExportStatistics{3, 3, 2, ExportResult::Completed}));
}

TEST(UnusualNamesExport, AStandardAsciiPhoneExportsWholeNamesAndNumbers) {
    ExportStatistics statistics;
    const std::string file =
        exportMemory(kAsciiPhone, false, u"ASCII", output_charset::Ascii, statistics);
    EXPECT_EQ(file, export_test::expectedFile(
                        "unusual-names-ascii",
                        export_test::expectedContacts(scenarioFrom(kAsciiPhone), "ME", false),
                        OutputFormat::GoogleCsv, output_charset::Ascii));
    EXPECT_EQ(statistics, (ExportStatistics{4, 4, 4, ExportResult::Completed}));
}

}  // namespace
