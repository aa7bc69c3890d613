#include "ui/WizardCommandLine.h"

WizardCommandLine WizardCommandLine::parse(const std::vector<std::string>& arguments) {
    WizardCommandLine line;
    for (const std::string& word : arguments) {
        if (word == "--demo") {
            line.demo = true;
        } else if (word == "--help" || word == "-h") {
            line.help = true;
        } else if (word == "-uninstall") {
            // Handled by the run itself.
        } else {
            line.error = (!word.empty() && word[0] == '-' ? "unknown option \"" : "unexpected \"") +
                         word + "\"";
            return line;
        }
    }
    return line;
}

const char* WizardCommandLine::usage() {
    return "Usage: contaxio [--demo]\n"
           "       contaxio -uninstall\n"
           "Copies the contacts of a USB phone to a CSV file, step by step.\n"
           "  --demo       also list a simulated phone, to try the wizard without a phone\n"
           "  -uninstall   remove your Contaxio settings and end\n"
           "  --help       show this text\n";
}
