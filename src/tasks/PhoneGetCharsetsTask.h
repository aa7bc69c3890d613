#pragma once

#include "charsets/PhoneMaker.h"
#include "common/IPhoneGetCharsetsSink.h"
#include "tasks/ITask.h"

namespace serial_comm {
class Modem;
}

// Asks the phone for its character sets (AT+CSCS=?) and reports those in which the program can
// read a phone of its maker (readableCharsets), in the phone's order. The sink hears only when
// the phone answered with a list that ends in OK; a silent phone, an unusable answer or a
// failing port leave it without an answer.
class PhoneGetCharsetsTask final : public ITask {
public:
    // Neither is owned; both must outlive the task.
    PhoneGetCharsetsTask(serial_comm::Modem& modem, IPhoneGetCharsetsSink& sink,
                         PhoneMaker maker = PhoneMaker::Own);

    void run() override;

private:
    serial_comm::Modem* modem_;
    IPhoneGetCharsetsSink* sink_;
    PhoneMaker maker_;
};
