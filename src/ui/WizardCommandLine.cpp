#include "ui/WizardCommandLine.h"

WizardCommandLine WizardCommandLine::parse(const std::vector<std::string>& arguments) {
    WizardCommandLine line;
    for (const std::string& word : arguments) {
        if (word == "--demo") {
            line.demo = true;
        } else if (word == "--help" || word == "-h") {
            line.help = true;
        } else if (word == "-uninstall") {
            // Carried out by the run itself (runApplication).
            line.uninstall = true;
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
           "  -uninstall   remove your Contaxio settings and end, without a window (no\n"
           "               display needed)\n"
           "  --help       show this text\n"
           "Qt's own options are taken too, such as -platform NAME and -style NAME.\n"
           "\n"
           "Exit status:\n"
           "  0    the wizard was closed, or -uninstall done (also after an error shown)\n"
           "  1    the wizard could not start: no display, or no simulated phone for --demo\n"
           "  2    wrong command line\n"
           "  129  ended by SIGHUP (the terminal went away), after closing down in order\n"
           "  130  ended by Ctrl-C (SIGINT), after closing down in order\n"
           "  143  ended by SIGTERM, after closing down in order\n";
}
