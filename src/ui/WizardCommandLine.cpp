#include "ui/WizardCommandLine.h"

#include <string_view>

WizardCommandLine WizardCommandLine::parse(const std::vector<std::string>& arguments) {
    WizardCommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word == "--trace" || word.starts_with("--trace=")) {
            if (!line.trace.empty()) {
                line.error = "--trace is given twice";
                return line;
            }
            // The file follows, as the next word (not an option) or after "=".
            if (word != "--trace") {
                line.trace = word.substr(std::string_view("--trace=").size());
            } else if (i + 1 < arguments.size() && !arguments[i + 1].starts_with("-")) {
                line.trace = arguments[++i];
            }
            if (line.trace.empty()) {
                line.error = "--trace needs a file";
                return line;
            }
        } else if (word == "--demo") {
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
    return "Usage: contaxio [--demo] [--trace FILE]\n"
           "       contaxio -uninstall\n"
           "Copies the contacts of a USB phone to a CSV file, step by step.\n"
           "  --demo       also list a simulated phone, to try the wizard without a phone\n"
           "  --trace FILE write every byte exchanged with the phones, with times and\n"
           "               directions, to FILE (for a bug report)\n"
           "  -uninstall   remove your Contaxio settings and end, without a window (no\n"
           "               display needed)\n"
           "  --help       show this text\n"
           "Qt's own options are taken too, such as -platform NAME and -style NAME.\n"
           "\n"
           "Exit status:\n"
           "  0    the wizard was closed, or -uninstall done (also after an error shown)\n"
           "  1    the wizard could not start: no display, no simulated phone for --demo,\n"
           "       or the trace file cannot be written\n"
           "  2    wrong command line\n"
           "  129  ended by SIGHUP (the terminal went away), after closing down in order\n"
           "  130  ended by Ctrl-C (SIGINT), after closing down in order\n"
           "  143  ended by SIGTERM, after closing down in order\n";
}
