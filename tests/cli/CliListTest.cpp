// The pieces of `contaxio-cli list` and of the automatic choice of the phone: the lines and
// hints people read, the JSON scripts read, the changes --watch reports, and the decision
// export and probe take without --port.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli/ExitStatus.h"
#include "cli/ListedPhone.h"
#include "cli/PhoneChoice.h"
#include "cli/PhoneListJson.h"
#include "cli/PhoneListText.h"

namespace {

using Json = nlohmann::json;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

ListedPhone phone(std::uint32_t key, DeviceState state, std::string port = "",
                  std::string model = "", std::string imei = "", std::string alias = "") {
    ListedPhone listed;
    listed.key = key;
    listed.state = state;
    listed.port = std::move(port);
    listed.model = std::move(model);
    listed.imei = std::move(imei);
    listed.alias = alias.empty() ? listed.imei : std::move(alias);
    return listed;
}

const ListedPhone kReadable =
    phone(3, DeviceState::ExtendedPhonebook, "/dev/ttyACM0", "Z3", "351234567890123", "Anna's Z3");
const ListedPhone kStandard =
    phone(9, DeviceState::StandardPhonebook, "/dev/ttyACM2", "T1", "351234567890999");
const ListedPhone kNoDriver = phone(5, DeviceState::NoDriver);
const ListedPhone kOtherMode = phone(7, DeviceState::OtherMode);
const ListedPhone kSilent = phone(11, DeviceState::Unsupported, "/dev/ttyACM1");
const ListedPhone kUnsupported =
    phone(13, DeviceState::Unsupported, "/dev/ttyACM3", "X9", "490154203237518");

TEST(CliListText, OneLinePerPhoneAndAHintUnderEachThatCannotBeRead) {
    EXPECT_EQ(PhoneListText::listing({kReadable, kNoDriver, kStandard}),
              "extended phonebook: Z3, IMEI 351234567890123, alias \"Anna's Z3\", port "
              "/dev/ttyACM0\n"
              "no driver: unknown model, IMEI unknown, no port\n"
              "  hint: no driver serves it, so it has no modem port; load the modem driver "
              "(sudo modprobe cdc_acm), then unplug the phone and plug it in again.\n"
              "standard phonebook: T1, IMEI 351234567890999, port /dev/ttyACM2\n");
    EXPECT_EQ(PhoneListText::listing({}), std::string(PhoneListText::kNoPhone) + "\n");

    // Each state that cannot be read has its own way out.
    const std::vector<std::pair<ListedPhone, std::string>> hints = {
        {kOtherMode, "switch the phone's USB mode to the modem or PC connection"},
        {kUnsupported, "it is not supported, as it lacks the phonebook commands an export needs"},
        {kSilent, "contaxio-cli probe --port /dev/ttyACM1 tells why"},
        {kNoDriver, "modprobe cdc_acm"},
    };
    for (const auto& [listed, words] : hints) {
        EXPECT_TRUE(contains(PhoneListText::hint(listed), words)) << PhoneListText::hint(listed);
    }
    EXPECT_EQ(PhoneListText::hint(kReadable), "");
    EXPECT_EQ(PhoneListText::line(kUnsupported),
              "not supported: X9, IMEI 490154203237518, port /dev/ttyACM3");
}

TEST(CliListText, WhatPhonesAndFilesSentIsShownEscaped) {
    const ListedPhone hostile = phone(1, DeviceState::Unsupported, "/dev/tty\nACM9",
                                      "Z3\x1b]0;owned\x07", "35\r12", "Ann\x1b[2J\xff");
    const std::string text = PhoneListText::listing({hostile});
    EXPECT_TRUE(contains(text,
                         "not supported: Z3\\x1b]0;owned\\x07, IMEI 35\\r12, alias "
                         "\"Ann\\x1b[2J\\xff\", port /dev/tty\\nACM9\n"))
        << text;
    EXPECT_FALSE(contains(text, "\x1b"));
    // Two lines: the phone and its hint, whatever its texts held.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
}

TEST(CliListJson, AnArrayOfObjectsWithTheDocumentedKeysInOrder) {
    const std::string text = PhoneListJson::listing({kReadable, kNoDriver});
    const Json parsed = Json::parse(text);
    ASSERT_TRUE(parsed.is_array());
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[0], Json::parse(R"({"port": "/dev/ttyACM0", "state": 5,
        "state_name": "ExtendedPhonebook", "model": "Z3", "imei": "351234567890123",
        "alias": "Anna's Z3", "reason": "", "hint": ""})"));
    EXPECT_EQ(parsed[1], Json::parse(R"({"port": "", "state": 1, "state_name": "NoDriver",
        "model": "", "imei": "", "alias": "", "reason": "no-driver", "hint": ")" +
                                     PhoneListText::hint(kNoDriver).substr(8) + R"("})"));
    EXPECT_EQ(parsed[1]["hint"],
              "no driver serves it, so it has no modem port; load the modem driver (sudo modprobe "
              "cdc_acm), then unplug the phone and plug it in again.");
    // The keys in the documented order, for people reading it.
    const std::size_t port = text.find("\"port\"");
    const std::size_t alias = text.find("\"alias\"");
    EXPECT_LT(port, text.find("\"state\""));
    EXPECT_LT(text.find("\"state_name\""), text.find("\"model\""));
    EXPECT_LT(text.find("\"imei\""), alias);
    EXPECT_LT(alias, text.find("\"reason\""));
    EXPECT_LT(text.find("\"reason\""), text.find("\"hint\""));
    EXPECT_EQ(PhoneListJson::listing({}), "[]\n");
    EXPECT_EQ(PhoneListJson::listing({kNoDriver}, true).find('\n'),
              PhoneListJson::listing({kNoDriver}, true).size() - 1)
        << "one line";
    for (const DeviceState state :
         {DeviceState::OtherMode, DeviceState::Unsupported, DeviceState::StandardPhonebook}) {
        EXPECT_EQ(Json::parse(PhoneListJson::listing({phone(1, state)}))[0]["state_name"],
                  PhoneListJson::stateName(state));
    }
}

TEST(CliListJson, ControlCharactersAreEscapedAndBadBytesNeverBreakTheOutput) {
    const ListedPhone hostile =
        phone(1, DeviceState::Unsupported, "/dev/ttyACM0", "Z3\x1b[31m\n", "\xff\xfe", "\"}]");
    const std::string text = PhoneListJson::listing({hostile}, true);
    EXPECT_FALSE(contains(text, "\x1b"));
    EXPECT_EQ(text.find('\n'), text.size() - 1);
    const Json parsed = Json::parse(text);
    EXPECT_EQ(parsed[0]["model"], "Z3\x1b[31m\n");
    EXPECT_EQ(parsed[0]["imei"], "\xEF\xBF\xBD\xEF\xBF\xBD") << "each bad byte becomes U+FFFD";
    EXPECT_EQ(parsed[0]["alias"], "\"}]");
}

TEST(CliListWatch, ChangesAreMatchedByPhoneNotByInterface) {
    ListedPhone driverLoaded = kNoDriver;  // the same phone once its modem driver took it
    driverLoaded.state = DeviceState::StandardPhonebook;
    driverLoaded.port = "/dev/ttyACM4";
    driverLoaded.model = "T1";
    const std::vector<PhoneChange> changes = PhoneChange::between(
        {kReadable, kNoDriver, kOtherMode}, {driverLoaded, kOtherMode, kStandard});
    const std::vector<PhoneChange> expected = {
        {PhoneChange::Kind::Removed, kReadable},
        {PhoneChange::Kind::Changed, driverLoaded},
        {PhoneChange::Kind::Added, kStandard},
    };
    EXPECT_EQ(changes, expected);
    EXPECT_TRUE(PhoneChange::between({kReadable, kOtherMode}, {kOtherMode, kReadable}).empty());

    EXPECT_EQ(PhoneListText::change(changes[0]),
              "removed extended phonebook: Z3, IMEI 351234567890123, alias \"Anna's Z3\", port "
              "/dev/ttyACM0\n");
    EXPECT_TRUE(PhoneListText::change({PhoneChange::Kind::Added, kOtherMode})
                    .starts_with("added   other USB mode: unknown model, IMEI unknown, no port\n"
                                 "  hint: "));
    const Json removed = Json::parse(PhoneListJson::change(changes[0]));
    EXPECT_EQ(removed["change"], "removed");
    EXPECT_EQ(removed["port"], "/dev/ttyACM0");
    EXPECT_EQ(removed["state"], 5);
    EXPECT_EQ(Json::parse(PhoneListJson::change(changes[1]))["change"], "changed");
}

TEST(CliPhoneChoice, TheOneReadablePhoneElseWhyNotOrWhichToChoose) {
    const PhoneChoice::Decision one = PhoneChoice::decide({kNoDriver, kReadable, kUnsupported});
    EXPECT_EQ(one.status, ExitStatus::Success);
    EXPECT_EQ(one.port, "/dev/ttyACM0");
    EXPECT_EQ(one.model, "Z3");
    EXPECT_TRUE(one.messages.empty());

    const PhoneChoice::Decision none = PhoneChoice::decide({});
    EXPECT_EQ(none.status, ExitStatus::PhoneUnusable);
    ASSERT_EQ(none.messages.size(), 1u);
    EXPECT_TRUE(contains(none.messages[0].text(), "no phone is attached"));

    // Every phone attached is named with the reason it cannot be read.
    const PhoneChoice::Decision unusable =
        PhoneChoice::decide({kNoDriver, kOtherMode, kUnsupported, kSilent});
    EXPECT_EQ(unusable.status, ExitStatus::PhoneUnusable);
    ASSERT_EQ(unusable.messages.size(), 4u);
    EXPECT_TRUE(contains(unusable.messages[0].text(), "attached phone: no driver serves it"));
    EXPECT_TRUE(contains(unusable.messages[1].text(), "another USB mode"));
    EXPECT_TRUE(contains(unusable.messages[2].text(),
                         "phone on /dev/ttyACM3 (model X9): it is not supported, as it lacks"));
    EXPECT_TRUE(contains(unusable.messages[3].text(), "phone on /dev/ttyACM1: it did not answer"));

    const PhoneChoice::Decision several = PhoneChoice::decide({kReadable, kNoDriver, kStandard});
    EXPECT_EQ(several.status, ExitStatus::Usage);
    EXPECT_EQ(several.port, "");
    ASSERT_EQ(several.messages.size(), 1u);
    EXPECT_EQ(several.messages[0].text(),
              "error: phone: 2 attached phones can be read (on /dev/ttyACM0 and /dev/ttyACM2); "
              "choose one with --port, such as --port /dev/ttyACM0.");
}

}  // namespace
