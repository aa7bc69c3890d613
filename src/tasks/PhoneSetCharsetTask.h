#pragma once

#include <string>

#include "charsets/PhoneMaker.h"
#include "tasks/ITask.h"

namespace serial_comm {
class Modem;
}

// Chooses the phone's character set before an export (AT+CSCS="<name>"). Nothing is reported:
// the export that follows reads the phonebook as if the phone had taken the charset. A failing
// port is ignored here; the export will meet it.
//
// The maker's phones get that one command, whatever they answer. A phone of another maker that
// answers without OK (but does answer) is sent the name once more in the UCS2 form: while
// their charset is UCS2, some phones read every string they are sent as UCS2 hex, the name of
// the charset too. No charset name is made of hexadecimal digits, so such a phone refuses the
// plain name rather than taking it for another.
class PhoneSetCharsetTask final : public ITask {
public:
    // The modem is not owned and must outlive the task.
    PhoneSetCharsetTask(std::u16string charsetName, serial_comm::Modem& modem,
                        PhoneMaker maker = PhoneMaker::Own);

    void run() override;

private:
    std::u16string charsetName_;
    serial_comm::Modem* modem_;
    PhoneMaker maker_;
};
