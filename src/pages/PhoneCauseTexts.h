#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "causes/Cause.h"

class AppContext;

// How the wizard tells why a phone cannot be used, in the UI language: the texts of the table
// of causes (causes/CauseTable.h), %1 and %2 filled with the program that holds the port and
// its process id.
class PhoneCauseTexts {
public:
    // A message box: its caption and text.
    struct Box {
        std::uint32_t captionId = 0;
        std::u16string text;
    };

    // What is wrong, and the way out.
    static std::u16string what(const AppContext& app, const causes::PhoneCause& cause);
    static std::u16string wayOut(const AppContext& app, const causes::PhoneCause& cause);

    // The tooltip over a device's row, a paragraph each: what is wrong, the way out, and, when
    // the row's "?" opens help, the line that says so. Empty for kind None.
    static std::vector<std::u16string> tooltip(const AppContext& app,
                                               const causes::PhoneCause& cause, bool offersHelp);

    // The box on Next for a phone that cannot be used: "Cannot Open Phone" for a port that
    // could not be opened or failed, "Phone Cannot Be Read" for a phone that answered (or not)
    // but cannot be read; the text is what is wrong and, after a blank line, the way out.
    static Box failure(const AppContext& app, const causes::PhoneCause& cause);

    // The cause of a serial_comm::SerialPortException met while the phone was opened: code 0
    // when the port could not be had (openError the errno of the failed open, and the program
    // that holds port, where the system shows it), else the errno of the port's failure.
    static causes::PhoneCause portCause(const std::u16string& port, int code, int openError);
};
