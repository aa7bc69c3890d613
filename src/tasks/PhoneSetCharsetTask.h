#pragma once

#include <string>

#include "tasks/ITask.h"

namespace serial_comm {
class Modem;
}

// Chooses the phone's character set before an export (AT+CSCS="<name>"). The answer is not
// looked at and nothing is reported: the export that follows reads the phonebook as if the
// phone had taken the charset. A failing port is ignored here; the export will meet it.
class PhoneSetCharsetTask final : public ITask {
public:
    // The modem is not owned and must outlive the task.
    PhoneSetCharsetTask(std::u16string charsetName, serial_comm::Modem& modem);

    void run() override;

private:
    std::u16string charsetName_;
    serial_comm::Modem* modem_;
};
