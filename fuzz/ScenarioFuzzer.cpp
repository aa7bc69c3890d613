// Scenario files through the simulator's scenario reader. For any bytes: nothing throws or
// crashes; a refused file is refused with a message that names the source and a line of the
// file; an accepted scenario is written out again and read back to the very same scenario; and
// the phone it describes answers the commands an export sends.
//
// Input: the whole file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "phonesim/Phone.h"
#include "phonesim/Scenario.h"
#include "phonesim/ScenarioParser.h"
#include "phonesim/ScenarioWriter.h"

namespace {

using fuzz_support::printable;

// The commands of a probe and an export, and a block read of every storage.
void playExport(const phonesim::Scenario& scenario) {
    phonesim::Phone phone(scenario);
    std::vector<std::string> commands{"AT+MODE?",     "AT+MODE=2", "AT+CLAC",   "AT+CGMM",
                                      "AT+CGSN",      "AT+CSCS=?", "AT+CPBS=?", "AT+MPGR=?",
                                      "AT+MPGR=1,10", "ATI",       "AT+CMEE=1"};
    for (const std::string& charset : scenario.phone.charsets)
        commands.push_back("AT+CSCS=\"" + charset + "\"");
    for (const phonesim::Storage& storage : scenario.storages) {
        commands.push_back("AT+CPBS=\"" + storage.name + "\"");
        commands.push_back("AT+CPBS?");
        commands.push_back("AT+CPBR=?");
        commands.push_back("AT+MPBRE=?");
        // A block at the start of the range and one around its first contact.
        const int first = storage.first;
        commands.push_back("AT+CPBR=" + std::to_string(first) + "," + std::to_string(first + 9));
        if (!storage.contacts.empty()) {
            const int index = storage.contacts.begin()->first;
            commands.push_back("AT+MPBRE=" + std::to_string(index) + "," +
                               std::to_string(index + 9));
        }
    }
    for (const std::string& command : commands) {
        const phonesim::Reply reply = phone.handle(command);
        if (reply.kind == phonesim::Reply::Kind::Unplug)
            return;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const phonesim::ParsedScenario parsed = phonesim::ScenarioParser::parse(text, "fuzz.scn");
    if (!parsed) {
        const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        FUZZ_CHECK(parsed.error.starts_with("fuzz.scn") && parsed.line >= 0 && parsed.line <= lines,
                   "a refusal does not name the file and a line of it", parsed.error);
        return 0;
    }
    const std::string written = phonesim::ScenarioWriter::write(*parsed.scenario);
    const phonesim::ParsedScenario again = phonesim::ScenarioParser::parse(written, "written");
    FUZZ_CHECK(again, "a scenario written out is refused",
               again.error + "\n--- written:\n" + printable(written, 4000));
    FUZZ_CHECK(
        *again.scenario == *parsed.scenario, "a scenario written out reads back as another",
        "--- read:\n" + printable(text, 4000) + "\n--- written:\n" + printable(written, 4000));
    playExport(*parsed.scenario);
    return 0;
}
