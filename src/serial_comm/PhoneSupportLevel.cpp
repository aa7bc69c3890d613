#include "serial_comm/PhoneSupportLevel.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "serial_comm/CPBSCommand.h"
#include "serial_comm/CSCSCommand.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/CommandList.h"
#include "serial_comm/Modem.h"

namespace serial_comm {

namespace {

// Commands without which a phone cannot be identified or read.
constexpr std::array<std::string_view, 4> kRequiredCommands{"AT+CGMM", "AT+CGSN", "AT+CPBS",
                                                            "AT+CSCS"};
constexpr std::string_view kExtendedReadCommand = "AT+MPBRE";
constexpr std::string_view kStandardReadCommand = "AT+CPBR";

// The level the command list promises.
std::int32_t levelOfCommandList(std::vector<std::string> commands) {
    std::sort(commands.begin(), commands.end());
    const auto lists = [&commands](std::string_view command) {
        return std::binary_search(commands.begin(), commands.end(), command,
                                  [](std::string_view a, std::string_view b) { return a < b; });
    };
    if (!std::all_of(kRequiredCommands.begin(), kRequiredCommands.end(), lists))
        return support_level::Unsupported;
    if (lists(kExtendedReadCommand))
        return support_level::ExtendedPhonebook;
    if (lists(kStandardReadCommand))
        return support_level::StandardPhonebook;
    return support_level::Unsupported;
}

// Whether the phone confirms its charsets; silent is set when it said nothing.
bool charsetsConfirmed(Modem& modem, bool& silent) {
    std::string answer;
    if (exchange(modem, CSCSCommand::testCommand(), answer) == 0) {
        silent = true;
        return false;
    }
    CSCSCommand command;
    command.parse(answer);
    return command.succeeded();
}

// Whether the phone confirms at least one storage; silent is set when it said nothing.
bool storagesConfirmed(Modem& modem, bool& silent) {
    std::string answer;
    if (exchange(modem, CPBSCommand::testCommand(), answer) == 0) {
        silent = true;
        return false;
    }
    CPBSCommand command;
    command.parse(answer);
    const auto& names = command.items();
    return command.succeeded() &&
           std::any_of(names.begin(), names.end(), [](const auto& name) { return !name.empty(); });
}

}  // namespace

PhoneSupport phoneSupport(Modem& modem) {
    PhoneSupport support;
    std::string answer;
    if (exchange(modem, commandListCommand(), answer) == 0) {
        support.silent = true;
        return support;
    }
    std::vector<std::string> commands;
    readCommandList(answer, commands);
    const std::int32_t level = levelOfCommandList(std::move(commands));
    if (level == support_level::Unsupported)
        return support;
    if (!charsetsConfirmed(modem, support.silent) || !storagesConfirmed(modem, support.silent))
        return support;
    support.level = level;
    return support;
}

std::int32_t phoneSupportLevel(Modem& modem) {
    return phoneSupport(modem).level;
}

}  // namespace serial_comm
