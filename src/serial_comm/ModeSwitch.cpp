#include "serial_comm/ModeSwitch.h"

#include <thread>

#include "serial_comm/AtValues.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/MODECommand.h"
#include "serial_comm/Modem.h"

namespace serial_comm {

ModeSwitchOutcome switchToReadingMode(Modem& modem, ModeAnswers answers,
                                      std::chrono::milliseconds pause) {
    const bool strict = answers == ModeAnswers::MustHoldOk;
    ModeSwitchOutcome outcome;

    std::string answer;
    if (exchange(modem, MODECommand::readCommand(), answer) == 0) {
        if (strict)
            return outcome;
    } else {
        // An answer that worked but named no mode (a bare "OK") leaves the default, mode 2:
        // the phone is then put through mode 0 like any phone found in mode 2.
        MODECommand command;
        command.parse(answer);
        if (command.succeeded() && command.hasMode())
            outcome.modeRead = command.mode();
    }

    if (outcome.modeRead == kReadingMode) {
        exchange(modem, MODECommand::setCommand(kIdleMode), answer);
        if (strict && !holdsOk(answer)) {
            outcome.refused = !answer.empty();
            return outcome;
        }
        outcome.wentThroughIdle = true;
        std::this_thread::sleep_for(pause);
    }

    modem.sendCommand(MODECommand::setCommand(kReadingMode));
    std::this_thread::sleep_for(pause);
    modem.readResponse(answer);
    if (strict && !holdsOk(answer)) {
        outcome.refused = !answer.empty();
        return outcome;
    }
    outcome.completed = true;
    return outcome;
}

bool switchToIdleMode(Modem& modem) {
    std::string answer;
    exchange(modem, MODECommand::setCommand(kIdleMode), answer);
    return holdsOk(answer);
}

}  // namespace serial_comm
