#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/ExportCommand.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"

namespace {

using Command = CliOptions::Command;

CliOptions parse(const std::vector<std::string>& arguments) {
    return CliOptions::parse(arguments);
}

TEST(CliOptions, ExportTakesEveryOptionInEitherSpelling) {
    const CliOptions options = parse({"export", "--port", "/dev/ttyACM0", "--output=out.csv",
                                      "--storages", "SM", "--layout=Outlook", "--quiet"});
    ASSERT_EQ(options.error, "");
    EXPECT_EQ(options.command, Command::Export);
    EXPECT_EQ(options.port, "/dev/ttyACM0");
    EXPECT_EQ(options.output, "out.csv");
    EXPECT_EQ(options.storages, std::vector<std::int32_t>{storage_kind::Sim});
    EXPECT_EQ(options.layout, output_format::OutlookCsv);
    EXPECT_TRUE(options.quiet);
}

TEST(CliOptions, ExportDefaultsToWhatThePhoneOffersInTheGoogleLayout) {
    const CliOptions options = parse({"export", "--output", "a.csv", "--port", "/dev/x"});
    ASSERT_EQ(options.error, "");
    EXPECT_TRUE(options.storages.empty());
    EXPECT_EQ(options.layout, output_format::GoogleCsv);
    EXPECT_FALSE(options.quiet);
}

TEST(CliOptions, StoragesComeOutPhoneMemoryFirstWhateverTheOrderGiven) {
    const std::vector<std::int32_t> both{storage_kind::Memory, storage_kind::Sim};
    EXPECT_EQ(parse({"export", "--port", "p", "--output", "o", "--storages", "sm,me"}).storages,
              both);
    EXPECT_EQ(parse({"export", "--port", "p", "--output", "o", "--storages", "me,sm"}).storages,
              both);
    EXPECT_EQ(parse({"export", "--port", "p", "--output", "o", "--storages", "me"}).storages,
              std::vector<std::int32_t>{storage_kind::Memory});
}

TEST(CliOptions, RefusesBadStorageLists) {
    for (const std::string list : {"fd", "me,", ",sm", "me,me", "me sm", "me,sm,fd", "mesm"}) {
        const CliOptions options =
            parse({"export", "--port", "p", "--output", "o", "--storages", list});
        EXPECT_EQ(options.command, Command::None) << list;
        EXPECT_NE(options.error.find("--storages"), std::string::npos) << list;
    }
}

TEST(CliOptions, ProbeAndDemo) {
    const CliOptions probe = parse({"probe", "--port=/dev/ttyACM1"});
    EXPECT_EQ(probe.command, Command::Probe);
    EXPECT_EQ(probe.port, "/dev/ttyACM1");
    const CliOptions demo = parse({"demo"});
    EXPECT_EQ(demo.command, Command::Demo);
    EXPECT_EQ(demo.output, "contacts.csv");
    EXPECT_EQ(parse({"demo", "--output", "/tmp/x.csv"}).output, "/tmp/x.csv");
}

TEST(CliOptions, HelpAndVersionWinAnywhere) {
    EXPECT_EQ(parse({"--help"}).command, Command::Help);
    EXPECT_EQ(parse({"-h"}).command, Command::Help);
    EXPECT_EQ(parse({"export", "--bogus", "--help"}).command, Command::None) << "refused first";
    EXPECT_EQ(parse({"export", "--port", "p", "--help"}).command, Command::Help);
    EXPECT_EQ(parse({"--version"}).command, Command::Version);
    EXPECT_EQ(CliOptions::version(), std::string("contaxio-cli ") + CONTAXIO_VERSION + "\n");
}

TEST(CliOptions, RefusesWhatIsMissingUnknownMisplacedOrRepeated) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no command"},
        {{"--port", "p"}, "must come first"},
        {{"fetch"}, "unknown command \"fetch\""},
        {{"export", "--output", "o"}, "--port"},
        {{"export", "--port", "p"}, "--output"},
        {{"export", "--port"}, "--port needs a value"},
        {{"export", "--port=", "--output", "o"}, "--port needs a value"},
        {{"export", "--port", "p", "--output", "o", "--format", "x"}, "unknown option --format"},
        {{"probe", "--port", "p", "--output", "o"}, "--output does not go with this command"},
        {{"demo", "--port", "p"}, "--port does not go with this command"},
        {{"export", "--port", "p", "--port", "q", "--output", "o"}, "--port is given twice"},
        {{"export", "--port", "p", "--output", "o", "--quiet=yes"}, "--quiet takes no value"},
        {{"export", "--port", "p", "--output", "o", "--layout", "vcard"}, "--layout"},
        {{"export", "--port", "p", "--output", "o", "extra"}, "unexpected argument \"extra\""},
        {{"probe"}, "--port"},
    };
    for (const auto& [arguments, expected] : cases) {
        const CliOptions options = parse(arguments);
        EXPECT_EQ(options.command, Command::None) << expected;
        EXPECT_NE(options.error.find(expected), std::string::npos)
            << "wanted \"" << expected << "\" in \"" << options.error << "\"";
    }
}

TEST(CliOptions, UsageDocumentsEveryCommandOptionAndExitStatus) {
    const std::string usage = CliOptions::usage();
    for (const std::string word : {"export", "probe", "demo", "--port", "--output", "--storages",
                                   "--layout", "--quiet", "--help", "--version", "\n  0 ", "\n  1 ",
                                   "\n  2 ", "\n  3 ", "\n  4 ", "\n  5 ", "\n  130 "}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}

TEST(CliStorageChoice, WhatThePhoneOffersPhoneMemoryFirstOrExactlyWhatWasAskedFor) {
    const std::int32_t me = storage_kind::Memory;
    const std::int32_t sm = storage_kind::Sim;
    std::int32_t missing = -1;
    using Kinds = std::vector<std::int32_t>;
    EXPECT_EQ(ExportCommand::chooseStorages({}, {sm, 7, me}, missing), (Kinds{me, sm}));
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(ExportCommand::chooseStorages({}, {sm}, missing), (Kinds{sm}));
    EXPECT_EQ(ExportCommand::chooseStorages({sm}, {me, sm}, missing), (Kinds{sm}));
    EXPECT_EQ(ExportCommand::chooseStorages({me, sm}, {me, sm}, missing), (Kinds{me, sm}));
    EXPECT_EQ(ExportCommand::chooseStorages({}, {}, missing), Kinds{});
    EXPECT_EQ(missing, 0) << "nothing offered is no missing wish";
    EXPECT_EQ(ExportCommand::chooseStorages({me, sm}, {me}, missing), Kinds{});
    EXPECT_EQ(missing, sm) << "a storage asked for is never dropped silently";
}

}  // namespace
