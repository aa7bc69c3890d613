#include <gtest/gtest.h>

#include <string>
#include <tuple>
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
    EXPECT_EQ(options.storages, std::vector<StorageKind>{StorageKind::Sim});
    EXPECT_EQ(options.layout, OutputFormat::OutlookCsv);
    EXPECT_TRUE(options.quiet);
}

TEST(CliOptions, ExportDefaultsToWhatThePhoneOffersInTheGoogleLayout) {
    const CliOptions options = parse({"export", "--output", "a.csv", "--port", "/dev/x"});
    ASSERT_EQ(options.error, "");
    EXPECT_TRUE(options.storages.empty());
    EXPECT_EQ(options.layout, OutputFormat::GoogleCsv);
    EXPECT_FALSE(options.quiet);
}

TEST(CliOptions, StoragesComeOutPhoneMemoryFirstWhateverTheOrderGiven) {
    const std::vector<StorageKind> both{StorageKind::Memory, StorageKind::Sim};
    EXPECT_EQ(parse({"export", "--port", "p", "--output", "o", "--storages", "sm,me"}).storages,
              both);
    EXPECT_EQ(parse({"export", "--port", "p", "--output", "o", "--storages", "me,sm"}).storages,
              both);
    EXPECT_EQ(parse({"export", "--port", "p", "--output", "o", "--storages", "me"}).storages,
              std::vector<StorageKind>{StorageKind::Memory});
}

TEST(CliOptions, RefusesBadStorageLists) {
    for (const std::string list : {"fd", "me,", ",sm", "me,me", "me sm", "me,sm,fd", "mesm"}) {
        const CliOptions options =
            parse({"export", "--port", "p", "--output", "o", "--storages", list});
        EXPECT_EQ(options.command, Command::None) << list;
        EXPECT_NE(options.error.find("--storages"), std::string::npos) << list;
    }
}

TEST(CliOptions, ListProbeAndDemo) {
    const CliOptions list = parse({"list"});
    EXPECT_EQ(list.command, Command::List);
    EXPECT_FALSE(list.json || list.watch);
    const CliOptions both = parse({"list", "--watch", "--json"});
    EXPECT_EQ(both.command, Command::List);
    EXPECT_TRUE(both.json && both.watch);
    const CliOptions probe = parse({"probe", "--port=/dev/ttyACM1"});
    EXPECT_EQ(probe.command, Command::Probe);
    EXPECT_EQ(probe.port, "/dev/ttyACM1");
    // Without --port, export and probe find the phone themselves.
    const CliOptions found = parse({"probe"});
    EXPECT_EQ(found.command, Command::Probe);
    EXPECT_EQ(found.port, "");
    const CliOptions exported = parse({"export", "--output", "o.csv"});
    EXPECT_EQ(exported.command, Command::Export);
    EXPECT_EQ(exported.port, "");
    const CliOptions demo = parse({"demo"});
    EXPECT_EQ(demo.command, Command::Demo);
    EXPECT_EQ(demo.output, "contacts.csv");
    EXPECT_EQ(parse({"demo", "--output", "/tmp/x.csv"}).output, "/tmp/x.csv");
    // demo takes a layout too; vCard's default file name has its own extension.
    const CliOptions vcard = parse({"demo", "--layout", "VCard"});
    EXPECT_EQ(vcard.layout, OutputFormat::VCard);
    EXPECT_EQ(vcard.output, "contacts.vcf");
    EXPECT_EQ(parse({"export", "--output", "-", "--layout=vcard"}).layout, OutputFormat::VCard);
}

TEST(CliOptions, HelpOfTheProgramOrOfTheCommandItFollows) {
    const CliOptions program = parse({"--help"});
    EXPECT_EQ(program.command, Command::Help);
    EXPECT_EQ(program.help, CliOptions::usage());
    EXPECT_EQ(parse({"-h"}).help, CliOptions::usage());
    for (const Command command : {Command::List, Command::Export, Command::Probe, Command::Demo}) {
        const std::string name = CliOptions::commandName(command);
        const CliOptions help = parse({name, "--help"});
        EXPECT_EQ(help.command, Command::Help) << name;
        EXPECT_EQ(help.help, CliOptions::usage(command)) << name;
        EXPECT_NE(help.help.find("contaxio-cli " + name), std::string::npos) << help.help;
    }
    EXPECT_EQ(parse({"export", "--port", "p", "--help"}).help, CliOptions::usage(Command::Export));
    EXPECT_EQ(parse({"--version"}).command, Command::Version);
    EXPECT_EQ(CliOptions::version(), std::string("contaxio-cli ") + CONTAXIO_VERSION + "\n");
}

// An option never swallows another option as its value, wherever it stands.
TEST(CliOptions, AnOptionNeverTakesAnotherOptionAsItsValue) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"export", "--port", "--output", "x.csv"}, "--port needs a value"},
        {{"export", "--output", "--port", "p"}, "--output needs a value"},
        {{"demo", "--output", "--help"}, "--output needs a value"},
        {{"demo", "--output", "-h"}, "--output needs a value"},
        {{"export", "--port", "p", "--output", "o", "--trace", "--quiet"}, "--trace needs a value"},
        {{"export", "--port=", "--output", "o"}, "--port needs a value"},
        {{"probe", "--port"}, "--port needs a value"},
    };
    for (const auto& [arguments, expected] : cases) {
        const CliOptions options = parse(arguments);
        EXPECT_EQ(options.command, Command::None) << expected;
        EXPECT_EQ(options.error, expected);
    }
    // A value given with = is taken as it is, and "-" is a value (standard output).
    const CliOptions explicitValue = parse({"export", "--port=--odd", "--output", "-"});
    EXPECT_EQ(explicitValue.error, "");
    EXPECT_EQ(explicitValue.port, "--odd");
    EXPECT_EQ(explicitValue.output, "-");
}

TEST(CliOptions, DemoTakesQuietAndEveryCommandATrace) {
    const CliOptions demo = parse({"demo", "--quiet", "--trace", "t.txt"});
    ASSERT_EQ(demo.error, "");
    EXPECT_TRUE(demo.quiet);
    EXPECT_EQ(demo.trace, "t.txt");
    EXPECT_EQ(parse({"probe", "--port", "p", "--trace=t"}).trace, "t");
    EXPECT_EQ(parse({"export", "--port", "p", "--output", "o", "--trace", "t"}).trace, "t");
}

TEST(CliOptions, RefusesWhatIsMissingUnknownMisplacedOrRepeated) {
    const std::vector<std::tuple<std::vector<std::string>, std::string, Command>> cases = {
        {{}, "no command given", Command::None},
        {{"--port", "p"}, "a command (list, export, probe or demo) must come first", Command::None},
        {{"--json"}, "a command (list, export, probe or demo) must come first", Command::None},
        {{"fetch"}, "unknown command \"fetch\"", Command::None},
        {{"--bogus"}, "unknown option --bogus", Command::None},
        {{"--version", "extra"}, "--version takes nothing else", Command::None},
        {{"--version", "demo"}, "--version takes nothing else", Command::None},
        {{"demo", "--version"}, "--version takes nothing else", Command::Demo},
        {{"export", "--port", "p"},
         "export needs --output FILE (the file to write)",
         Command::Export},
        {{"export", "--port", "p", "--output", "o", "--format", "x"},
         "unknown option --format",
         Command::Export},
        {{"probe", "--port", "p", "--output", "o"},
         "--output does not go with probe",
         Command::Probe},
        {{"demo", "--port", "p"}, "--port does not go with demo", Command::Demo},
        {{"export", "--port", "p", "--port", "q", "--output", "o"},
         "--port is given twice",
         Command::Export},
        {{"export", "--port", "p", "--output", "o", "--quiet=yes"},
         "--quiet takes no value",
         Command::Export},
        {{"export", "--port", "p", "--output", "o", "--layout", "vcf"},
         "--layout takes google, outlook or vcard, not \"vcf\"",
         Command::Export},
        {{"export", "--port", "p", "--output", "o", "extra"},
         "unexpected argument \"extra\"",
         Command::Export},
        {{"list", "--port", "p"}, "--port does not go with list", Command::List},
        {{"list", "--json=yes"}, "--json takes no value", Command::List},
        {{"list", "--quiet"}, "--quiet does not go with list", Command::List},
        {{"export", "--output", "o", "--watch"},
         "--watch does not go with export",
         Command::Export},
    };
    for (const auto& [arguments, expected, command] : cases) {
        const CliOptions options = parse(arguments);
        EXPECT_EQ(options.command, Command::None) << expected;
        EXPECT_EQ(options.error, expected);
        EXPECT_EQ(options.errorCommand, command) << expected;
    }
}

TEST(CliOptions, HelpDocumentsEveryCommandOptionNumberAndExitStatus) {
    const std::string program = CliOptions::usage();
    for (const std::string word :
         {"list", "export", "probe", "demo", "--help", "--version", "\n  0 ", "\n  1 ", "\n  2 ",
          "\n  3 ", "\n  4 ", "\n  5 ", "\n  130 "}) {
        EXPECT_NE(program.find(word), std::string::npos) << word;
    }
    const std::string exportHelp = CliOptions::usage(Command::Export);
    for (const std::string word :
         {"--port", "--output", "--storages", "--layout", "--quiet", "--trace", "always read first",
          "places", "entries", "contacts", "left as it was", "\n  130 "}) {
        EXPECT_NE(exportHelp.find(word), std::string::npos) << word;
    }
    EXPECT_NE(CliOptions::usage(Command::Probe).find("--trace"), std::string::npos);
    const std::string listHelp = CliOptions::usage(Command::List);
    for (const std::string word : {"--json", "--watch", "state_name", "alias", "no driver",
                                   "other USB mode", "\n  3 ", "\n  130 "}) {
        EXPECT_NE(listHelp.find(word), std::string::npos) << word;
    }
    EXPECT_NE(CliOptions::usage(Command::Demo).find("--quiet"), std::string::npos);
}

TEST(CliStorageChoice, WhatThePhoneOffersPhoneMemoryFirstOrExactlyWhatWasAskedFor) {
    const StorageKind me = StorageKind::Memory;
    const StorageKind sm = StorageKind::Sim;
    StorageKind missing = StorageKind{-1};
    using Kinds = std::vector<StorageKind>;
    EXPECT_EQ(ExportCommand::chooseStorages({}, {sm, StorageKind{7}, me}, missing),
              (Kinds{me, sm}));
    EXPECT_EQ(missing, StorageKind::Unknown);
    EXPECT_EQ(ExportCommand::chooseStorages({}, {sm}, missing), (Kinds{sm}));
    EXPECT_EQ(ExportCommand::chooseStorages({sm}, {me, sm}, missing), (Kinds{sm}));
    EXPECT_EQ(ExportCommand::chooseStorages({me, sm}, {me, sm}, missing), (Kinds{me, sm}));
    EXPECT_EQ(ExportCommand::chooseStorages({}, {}, missing), Kinds{});
    EXPECT_EQ(missing, StorageKind::Unknown) << "nothing offered is no missing wish";
    EXPECT_EQ(ExportCommand::chooseStorages({me, sm}, {me}, missing), Kinds{});
    EXPECT_EQ(missing, sm) << "a storage asked for is never dropped silently";
}

}  // namespace
