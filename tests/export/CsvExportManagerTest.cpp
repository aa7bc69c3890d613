#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "CsvFiles.h"
#include "export/CSVExportManager.h"
#include "export/Contact.h"
#include "export/ContactField.h"
#include "export/DiskSpaceException.h"
#include "export/FileAccessException.h"
#include "export/OutputFormat.h"

namespace {

using namespace csv_test;
namespace fs = std::filesystem;
using test_support::readFileBytes;
using test_support::TempDir;

Contact named(const std::u16string& givenName) {
    Contact contact;
    contact.setText(ContactField::GivenName, givenName);
    return contact;
}

TEST(CSVExportManager, UnknownLayoutsTouchNoFile) {
    TempDir dir;
    const auto existing = dir.file("existing.csv");
    { std::ofstream(existing) << "keep"; }
    const auto absent = dir.file("absent.csv");
    for (const OutputFormat format : {OutputFormat{0}, OutputFormat{4}, OutputFormat{-1}}) {
        CSVExportManager onExisting(format, u16(existing), 1);
        CSVExportManager onAbsent(format, u16(absent), 1);
        onExisting.writeContact(named(u"Ann"));
        onAbsent.writeContact(named(u"Ann"));
    }
    EXPECT_EQ(readFileBytes(existing), "keep");
    EXPECT_FALSE(fs::exists(absent));
}

TEST(CSVExportManager, NoContactLeavesOnlyTheMark) {
    TempDir dir;
    const std::string marks[] = {kUtf16Mark, kUtf8Mark, ""};
    for (const OutputFormat format : {OutputFormat::GoogleCsv, OutputFormat::OutlookCsv}) {
        for (const std::int32_t charset : {0, 1, 2}) {
            const auto path = dir.file("out.csv");
            { std::ofstream(path) << "old"; }
            { CSVExportManager manager(format, u16(path), charset); }
            EXPECT_EQ(readFileBytes(path), marks[charset])
                << "format " << static_cast<int>(format) << ", charset " << charset;
        }
    }
}

TEST(CSVExportManager, WritesTheHeaderOnceBeforeTheFirstContact) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    {
        CSVExportManager manager(OutputFormat::OutlookCsv, u16(path), 1);
        manager.writeContact(named(u"Ann"));
        manager.writeContact(named(u"Bob"));
    }
    EXPECT_EQ(readFileBytes(path),
              kUtf8Mark +
                  "\"First Name\",\"Middle Name\",\"Last Name\",\"E-mail Address\","
                  "\"Primary Phone\",\"Home Phone\",\"Mobile Phone\",\"Pager\",\"Home Fax\","
                  "\"Business Phone\"\r\n" +
                  outlookRow({{1, "\"Ann\""}}) + outlookRow({{1, "\"Bob\""}}));
}

TEST(CSVExportManager, GoogleLayout) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    {
        CSVExportManager manager(OutputFormat::GoogleCsv, u16(path), 2);
        manager.writeContact(named(u"Ann"));
    }
    const std::string bytes = readFileBytes(path);
    EXPECT_EQ(bytes.rfind("Name,Given Name,", 0), 0u);
    EXPECT_EQ(bytes.substr(bytes.find('\n') + 1), googleRow({{1, "\"Ann \""}}));
}

TEST(CSVExportManager, FileThatCannotBeCreatedFailsConstruction) {
    TempDir dir;
    const auto path = dir.path() / "missing" / "out.csv";
    EXPECT_THROW(CSVExportManager(OutputFormat::GoogleCsv, u16(path), 1), FileAccessException);
    EXPECT_THROW(CSVExportManager(OutputFormat::OutlookCsv, u16(path), 0), FileAccessException);
    EXPECT_FALSE(fs::exists(path.parent_path()));
}

TEST(CSVExportManager, WithoutASinkFailuresGoStraightOn) {
    CSVExportManager manager(OutputFormat::GoogleCsv, u"/dev/full", 2);
    EXPECT_THROW(manager.writeContact(named(u"Ann")), DiskSpaceException);
    EXPECT_THROW(manager.writeContact(named(u"Ann")), DiskSpaceException);
}

}  // namespace
