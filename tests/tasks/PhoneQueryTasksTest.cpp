#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "ExpectedExport.h"
#include "ExportSinks.h"
#include "charsets/TextCodec.h"
#include "common/StorageKind.h"
#include "phonesim/Simulator.h"
#include "serial_comm/Modem.h"
#include "tasks/PHBGetStoragesTask.h"
#include "tasks/PhoneGetCharsetsTask.h"
#include "tasks/PhoneSetCharsetTask.h"

namespace {

using namespace std::chrono_literals;
using export_test::RecordingCharsetsSink;
using export_test::RecordingStoragesSink;
using export_test::scenarioFrom;
using Kinds = std::vector<StorageKind>;
using Names = std::vector<std::u16string>;

// Enough for any answer of the simulated phone; a silent phone costs no more than this.
constexpr auto kShortSilence = 300ms;

// A simulated phone with the program's modem open on its port; the tasks run on the test's
// thread.
struct Rig {
    explicit Rig(const std::string& scenario) : phone(scenarioFrom(scenario)) {
        if (!modem.port().open(text_codec::fromUtf8(phone.portPath()), 0, 0))
            throw std::runtime_error("cannot open " + phone.portPath());
        modem.setSilenceTimeout(kShortSilence);
    }

    phonesim::Simulator phone;
    serial_comm::Modem modem;
};

std::vector<Kinds> storagesOf(const std::string& scenario) {
    Rig rig(scenario);
    RecordingStoragesSink sink;
    PHBGetStoragesTask(rig.modem, sink).run();
    EXPECT_EQ(rig.phone.transcript(), std::vector<std::string>{"AT+CPBS=?"});
    return sink.answers();
}

std::vector<Names> charsetsOf(const std::string& scenario, PhoneMaker maker = PhoneMaker::Own) {
    Rig rig(scenario);
    RecordingCharsetsSink sink;
    PhoneGetCharsetsTask(rig.modem, sink, maker).run();
    EXPECT_EQ(rig.phone.transcript(), std::vector<std::string>{"AT+CSCS=?"});
    return sink.answers();
}

TEST(PHBGetStoragesTaskTest, ReportsTheKnownStoragesInThePhonesOrder) {
    EXPECT_EQ(storagesOf("[storage ME]\n[storage SM]\n[storage FD]\n"),
              (std::vector<Kinds>{{StorageKind::Memory, StorageKind::Sim}}));
    EXPECT_EQ(storagesOf("[storage SM]\n[storage ME]\n"),
              (std::vector<Kinds>{{StorageKind::Sim, StorageKind::Memory}}));
    EXPECT_EQ(storagesOf("[storage SM]\n"), (std::vector<Kinds>{{StorageKind::Sim}}));
    EXPECT_EQ(storagesOf("[storage FD]\n[storage ON]\n"), std::vector<Kinds>{Kinds{}});
    // A storage listed twice is offered once.
    EXPECT_EQ(
        storagesOf("[storage SM]\n[behaviour]\nanswer = AT+CPBS=? -> "
                   "\"\\r\\n+CPBS: (\\\"ME\\\",\\\"SM\\\",\\\"ME\\\")\\r\\n\\r\\nOK\\r\\n\"\n"),
        (std::vector<Kinds>{{StorageKind::Memory, StorageKind::Sim}}));
}

// A phone of another maker in UCS2 may list the names in that form; the maker's phones' names
// are taken as sent.
TEST(PHBGetStoragesTaskTest, AnotherMakersPhoneMayListTheStoragesInHex) {
    const std::string hexList =
        "[storage SM]\n[behaviour]\nanswer = AT+CPBS=? -> "
        "\"\\r\\n+CPBS: (\\\"0053004D\\\",\\\"004D0045\\\",\\\"0046\\\")\\r\\n\\r\\nOK\\r\\n\"\n";
    for (const PhoneMaker maker : {PhoneMaker::Other, PhoneMaker::Own}) {
        Rig rig(hexList);
        RecordingStoragesSink sink;
        PHBGetStoragesTask(rig.modem, sink, maker).run();
        EXPECT_EQ(sink.answers(),
                  (std::vector<Kinds>{maker == PhoneMaker::Other
                                          ? Kinds{StorageKind::Sim, StorageKind::Memory}
                                          : Kinds{}}));
    }
}

TEST(PHBGetStoragesTaskTest, AnswersEvenWhenThePhoneIsSilentOrRefuses) {
    EXPECT_EQ(storagesOf("[storage ME]\n[behaviour]\nsilent = AT+CPBS=?\n"),
              std::vector<Kinds>{Kinds{}});
    EXPECT_EQ(storagesOf("[storage ME]\n[behaviour]\nfail = AT+CPBS=?\n"),
              std::vector<Kinds>{Kinds{}});
}

TEST(PHBGetStoragesTaskTest, SaysNothingWhenThePortFails) {
    EXPECT_TRUE(storagesOf("[storage ME]\n[behaviour]\nunplug-at = AT+CPBS=?\n").empty());

    Rig rig("[storage ME]\n");
    rig.modem.port().close();
    RecordingStoragesSink sink;
    PHBGetStoragesTask(rig.modem, sink).run();
    EXPECT_TRUE(sink.answers().empty());
}

TEST(PhoneGetCharsetsTaskTest, ReportsOnlyTheCharsetsTheProgramCanDecode) {
    EXPECT_EQ(charsetsOf("[phone]\ncharsets = UCS2, GSM, UTF8, HEX\n[storage ME]\n"),
              (std::vector<Names>{{u"UCS2", u"UTF8"}}));
    EXPECT_EQ(charsetsOf("[phone]\ncharsets = ASCII, UTF8\n[storage ME]\n"),
              (std::vector<Names>{{u"ASCII", u"UTF8"}}));
    // Names are taken as the phone spells them.
    EXPECT_EQ(charsetsOf("[phone]\ncharsets = ucs2, GSM\n[storage ME]\n"),
              std::vector<Names>{Names{}});
}

TEST(PhoneGetCharsetsTaskTest, OtherMakersPhonesOfferMoreCharsetsInMoreSpellings) {
    EXPECT_EQ(charsetsOf("[phone]\ncharsets = GSM, IRA, 8859-1, UTF-8, UCS2, HEX\n[storage SM]\n",
                         PhoneMaker::Other),
              (std::vector<Names>{{u"GSM", u"IRA", u"8859-1", u"UTF-8", u"UCS2"}}));
    EXPECT_EQ(
        charsetsOf("[phone]\ncharsets = ira, PCCP437, gsm\n[storage SM]\n", PhoneMaker::Other),
        (std::vector<Names>{{u"ira", u"gsm"}}));
    // A phone whose charset is UCS2 lists the names in the UCS2 form.
    EXPECT_EQ(
        charsetsOf("[phone]\ncharsets = UCS2\n[storage SM]\n[behaviour]\nanswer = AT+CSCS=? -> "
                   "\"\\r\\n+CSCS: (\\\"004900520041\\\",\\\"00470053004D\\\",\\\""
                   "0055004300530032\\\")\\r\\n\\r\\nOK\\r\\n\"\n",
                   PhoneMaker::Other),
        (std::vector<Names>{{u"IRA", u"GSM", u"UCS2"}}));
}

TEST(PhoneGetCharsetsTaskTest, SaysNothingWithoutAUsableAnswer) {
    EXPECT_TRUE(charsetsOf("[storage ME]\n[behaviour]\nsilent = AT+CSCS=?\n").empty());
    EXPECT_TRUE(charsetsOf("[storage ME]\n[behaviour]\nfail = AT+CSCS=?\n").empty());
    // A list the phone does not confirm with OK is not trusted.
    EXPECT_TRUE(charsetsOf("[storage ME]\n[behaviour]\nanswer = AT+CSCS=? -> "
                           "\"\\r\\n+CSCS: (\\\"UCS2\\\")\\r\\n\"\n")
                    .empty());
    EXPECT_TRUE(charsetsOf("[storage ME]\n[behaviour]\nunplug-at = AT+CSCS=?\n").empty());
}

TEST(PhoneSetCharsetTaskTest, SendsTheQuotedNameAndIgnoresTheOutcome) {
    Rig rig("[phone]\ncharsets = UCS2, UTF8\n[storage ME]\n[behaviour]\nfail = AT+CSCS=\"UTF8\"\n");
    PhoneSetCharsetTask(u"UCS2", rig.modem).run();
    PhoneSetCharsetTask(u"UTF8", rig.modem).run();  // answered ERROR
    // Text ASCII cannot hold is sent as "?".
    PhoneSetCharsetTask(u"Ü", rig.modem).run();
    EXPECT_EQ(rig.phone.transcript(),
              (std::vector<std::string>{"AT+CSCS=\"UCS2\"", "AT+CSCS=\"UTF8\"", "AT+CSCS=\"?\""}));

    rig.phone.unplug();
    EXPECT_NO_THROW(PhoneSetCharsetTask(u"UCS2", rig.modem).run());
}

TEST(PhoneSetCharsetTaskTest, SendsAnotherMakersPhoneTheNameInHexWhenItRefusesItPlain) {
    const std::string phone = "[phone]\ncharsets = UCS2, GSM, IRA\n[storage SM]\n[behaviour]\n";
    const std::string hexAccepted = "answer = AT+CSCS=\"0055004300530032\" -> \"\\r\\nOK\\r\\n\"\n";
    using Lines = std::vector<std::string>;
    const struct {
        const char* what;
        std::string behaviour;
        PhoneMaker maker;
        Lines sent;
    } cases[] = {
        {"refused plain, taken in hex", "fail = AT+CSCS=\"UCS2\"\n" + hexAccepted,
         PhoneMaker::Other, Lines{"AT+CSCS=\"UCS2\"", "AT+CSCS=\"0055004300530032\""}},
        {"taken plain", hexAccepted, PhoneMaker::Other, Lines{"AT+CSCS=\"UCS2\""}},
        {"silent", "silent = AT+CSCS=\"UCS2\"\n", PhoneMaker::Other, Lines{"AT+CSCS=\"UCS2\""}},
        {"the maker's phone refusing", "fail = AT+CSCS=\"UCS2\"\n" + hexAccepted, PhoneMaker::Own,
         Lines{"AT+CSCS=\"UCS2\""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(phone + c.behaviour);
        PhoneSetCharsetTask(u"UCS2", rig.modem, c.maker).run();
        EXPECT_EQ(rig.phone.transcript(), c.sent);
    }
}

}  // namespace
