#include "phonesim/PhonesimOptions.h"

#include <limits>

namespace phonesim {
namespace {

bool count(const std::string& text, unsigned long long max, unsigned long long& value) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoull(text);
    return value <= max;
}

}  // namespace

const char* PhonesimOptions::usage() {
    return "Usage:\n"
           "  contaxio-phonesim [--trace] [--link PATH] SCENARIO_FILE\n"
           "  contaxio-phonesim [--trace] [--link PATH] --builtin NAME\n"
           "  contaxio-phonesim --check SCENARIO_FILE\n"
           "  contaxio-phonesim --generate COUNT [--extended] [--sim COUNT] [--seed N]\n"
           "  contaxio-phonesim --list\n"
           "\n"
           "Plays the phone of a scenario on a pseudo-terminal: the first line printed is the\n"
           "port to open; the phone answers until it is unplugged by its scenario or the\n"
           "program gets SIGINT or SIGTERM. --check reads a scenario and reports problems,\n"
           "--generate writes a large phonebook scenario to standard output, --list names the\n"
           "built-in scenarios.\n";
}

PhonesimOptions PhonesimOptions::parse(const std::vector<std::string>& arguments) {
    PhonesimOptions options;
    const auto fail = [&options](const std::string& message) {
        options.error = message;
        return options;
    };
    bool generate = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        unsigned long long number = 0;
        if (argument == "--help" || argument == "-h") {
            options.action = Action::Help;
            return options;
        } else if (argument == "--list") {
            options.action = Action::List;
        } else if (argument == "--trace") {
            options.trace = true;
        } else if (argument == "--extended") {
            options.extended = true;
        } else if (argument == "--link" || argument == "--builtin" || argument == "--check") {
            if (!hasValue) {
                return fail(argument + " needs a value");
            }
            const std::string& value = arguments[++i];
            if (argument == "--link") {
                options.link = value;
            } else if (argument == "--builtin") {
                options.builtIn = value;
            } else {
                options.action = Action::Check;
                options.scenarioFile = value;
            }
        } else if (argument == "--generate" || argument == "--sim" || argument == "--seed") {
            if (!hasValue ||
                !count(arguments[++i],
                       argument == "--seed" ? std::numeric_limits<std::uint32_t>::max() : 1000000,
                       number)) {
                return fail(argument + " needs a whole number" +
                            (argument == "--seed" ? std::string() : " up to 1000000"));
            }
            if (argument == "--generate") {
                generate = true;
                options.contacts = static_cast<std::size_t>(number);
            } else if (argument == "--sim") {
                options.simContacts = static_cast<std::size_t>(number);
            } else {
                options.seed = static_cast<std::uint32_t>(number);
            }
        } else if (!argument.empty() && argument[0] == '-') {
            return fail("unknown option " + argument);
        } else if (options.scenarioFile.empty()) {
            options.scenarioFile = argument;
        } else {
            return fail("only one scenario file can be played");
        }
    }
    if (generate) {
        options.action = Action::Generate;
        return options;
    }
    if (options.action == Action::Run && options.scenarioFile.empty() == options.builtIn.empty()) {
        return fail("give one scenario file or --builtin NAME");
    }
    return options;
}

}  // namespace phonesim
