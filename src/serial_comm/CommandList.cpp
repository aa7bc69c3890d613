#include "serial_comm/CommandList.h"

#include <algorithm>

#include "charsets/AsciiCase.h"
#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtTokenizer.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/FinalResult.h"

namespace serial_comm {

std::string commandListCommand() {
    return makeCommand("+CLAC");
}

bool readCommandList(std::string_view answer, std::vector<std::string>& commands) {
    for (const std::string_view line : splitLines(answer)) {
        if (line == at::kResultOk)
            return true;
        commands.emplace_back(line);
    }
    return false;
}

namespace {

constexpr std::string_view kListPrefix = "+CLAC:";

}  // namespace

std::optional<std::vector<std::string>> readSupportedCommands(std::string_view answer) {
    if (!finalResultOf(answer).succeeded())
        return std::nullopt;
    const std::string echo = commandListCommand();
    std::vector<std::string> commands;
    for (std::string_view line : splitLines(answer)) {
        line = trimBlanks(line);
        if (line == at::kResultOk)
            break;  // what follows is no longer the list (unsolicited codes, say)
        if (ascii_case::equalIgnoringCase(line, echo))
            continue;
        if (line.starts_with(kListPrefix))
            line.remove_prefix(kListPrefix.size());
        std::size_t start = 0;
        while (start <= line.size()) {
            std::size_t comma = line.find(',', start);
            if (comma == std::string_view::npos)
                comma = line.size();
            std::string name =
                ascii_case::upperCased(trimBlanks(line.substr(start, comma - start)));
            // "AT+CPBR" and "+CPBR" are one command; no command's own name starts with "AT".
            if (name.size() > 2 && name.starts_with(at::kCommandPrefix))
                name.erase(0, at::kCommandPrefix.size());
            if (!name.empty())
                commands.push_back(std::move(name));
            start = comma + 1;
        }
    }
    if (commands.empty())
        return std::nullopt;
    return commands;
}

bool listsCommand(const std::vector<std::string>& commands, std::string_view name) {
    const std::string wanted = ascii_case::upperCased(name);
    return std::find(commands.begin(), commands.end(), wanted) != commands.end();
}

}  // namespace serial_comm
