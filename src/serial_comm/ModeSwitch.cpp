#include "serial_comm/ModeSwitch.h"

#include <thread>

#include "serial_comm/AtValues.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/FinalResult.h"
#include "serial_comm/MODECommand.h"
#include "serial_comm/Modem.h"

namespace serial_comm {

ModeSwitchOutcome switchToReadingMode(Modem& modem, ModeAnswers answers,
                                      std::chrono::milliseconds pause) {
    const bool strict = answers == ModeAnswers::MustHoldOk;
    ModeSwitchOutcome outcome;

    // Notes why a strict switch stops at an answer without OK.
    const auto stoppedAt = [&outcome](std::uint32_t received, const std::string& answer) {
        outcome.silent = received == 0;
        outcome.refused = finalResultOf(answer).failed();
        return outcome;
    };

    std::string answer;
    if (exchange(modem, MODECommand::readCommand(), answer) == 0) {
        if (strict)
            return stoppedAt(0, answer);
    } else {
        // An answer that worked but named no mode (a bare "OK") leaves the default, mode 2:
        // the phone is then put through mode 0 like any phone found in mode 2.
        MODECommand command;
        command.parse(answer);
        if (command.succeeded() && command.hasMode())
            outcome.modeRead = command.mode();
    }

    if (outcome.modeRead == kReadingMode) {
        const std::uint32_t received = exchange(modem, MODECommand::setCommand(kIdleMode), answer);
        if (strict && !holdsOk(answer))
            return stoppedAt(received, answer);
        outcome.wentThroughIdle = true;
        std::this_thread::sleep_for(pause);
    }

    modem.sendCommand(MODECommand::setCommand(kReadingMode));
    std::this_thread::sleep_for(pause);
    const std::uint32_t received = modem.readResponse(answer);
    if (strict && !holdsOk(answer))
        return stoppedAt(received, answer);
    outcome.completed = true;
    return outcome;
}

bool switchToIdleMode(Modem& modem) {
    std::string answer;
    exchange(modem, MODECommand::setCommand(kIdleMode), answer);
    return holdsOk(answer);
}

}  // namespace serial_comm
