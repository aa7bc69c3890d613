#include "serial_comm/CommandList.h"

#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtTokenizer.h"

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

}  // namespace serial_comm
