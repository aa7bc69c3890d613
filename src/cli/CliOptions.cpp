#include "cli/CliOptions.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "common/StorageKind.h"
#include "export/OutputFormat.h"

namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// "me", "sm", "me,sm" or "sm,me" (any case) to storage kinds, phone memory first.
std::optional<std::vector<std::int32_t>> storagesOf(const std::string& text) {
    bool memory = false;
    bool sim = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string name = lowered(text.substr(start, comma - start));
        if (name == "me" && !memory) {
            memory = true;
        } else if (name == "sm" && !sim) {
            sim = true;
        } else {
            return std::nullopt;
        }
        start = comma + 1;
    }
    std::vector<std::int32_t> kinds;
    if (memory) {
        kinds.push_back(storage_kind::Memory);
    }
    if (sim) {
        kinds.push_back(storage_kind::Sim);
    }
    return kinds;
}

std::optional<CliOptions::Command> commandOf(const std::string& word) {
    if (word == "export") {
        return CliOptions::Command::Export;
    }
    if (word == "probe") {
        return CliOptions::Command::Probe;
    }
    if (word == "demo") {
        return CliOptions::Command::Demo;
    }
    return std::nullopt;
}

// Which options each command takes.
bool takes(CliOptions::Command command, const std::string& option) {
    switch (command) {
        case CliOptions::Command::Export:
            return option == "--port" || option == "--output" || option == "--storages" ||
                   option == "--layout" || option == "--quiet";
        case CliOptions::Command::Probe:
            return option == "--port";
        case CliOptions::Command::Demo:
            return option == "--output";
        default:
            return false;
    }
}

bool needsValue(const std::string& option) {
    return option != "--quiet";
}

}  // namespace

std::string CliOptions::usage() {
    return "Usage:\n"
           "  contaxio-cli export --port PATH --output FILE [--storages me|sm|me,sm]\n"
           "                      [--layout google|outlook] [--quiet]\n"
           "  contaxio-cli probe --port PATH\n"
           "  contaxio-cli demo [--output FILE]\n"
           "  contaxio-cli --help | --version\n"
           "\n"
           "Copies the contacts of a phone connected by USB (its modem port, e.g.\n"
           "/dev/ttyACM0) into a CSV file that Google Contacts or Outlook can import.\n"
           "\n"
           "Commands:\n"
           "  export   Reads the phonebooks of the phone on PATH and writes them to FILE.\n"
           "  probe    Tells what the phone on PATH is: model, IMEI, support level, the\n"
           "           charsets and the phonebook storages it offers.\n"
           "  demo     Exports the contacts of a built-in simulated phone, to see the whole\n"
           "           path work without a phone (default FILE: contacts.csv).\n"
           "\n"
           "Options:\n"
           "  --port PATH       The phone's modem port.\n"
           "  --output FILE     The CSV file to write (replaced if it exists).\n"
           "  --storages LIST   me (phone memory), sm (SIM) or me,sm; default: those the\n"
           "                    phone offers, phone memory first.\n"
           "  --layout NAME     google (default) or outlook.\n"
           "  --quiet           No progress display on standard error.\n"
           "  --help            This text.\n"
           "  --version         The program's version.\n"
           "\n"
           "Progress goes to standard error, the summary per storage to standard output.\n"
           "Ctrl-C stops an export; the contacts written so far stay in the file. When the\n"
           "file cannot be written and standard input is a terminal, you are asked whether\n"
           "to retry; otherwise the export stops.\n"
           "\n"
           "Exit status:\n"
           "  0    every chosen storage was exported completely (probe: a usable phone)\n"
           "  1    an unexpected failure inside the program\n"
           "  2    wrong command line\n"
           "  3    no usable phone: the port is missing, refused or busy, the phone does not\n"
           "       answer or is not supported, or reading a storage failed\n"
           "  4    the phone was disconnected\n"
           "  5    the output file could not be created or written (folder, rights, disk full)\n"
           "  130  stopped by Ctrl-C (or SIGTERM)\n";
}

std::string CliOptions::version() {
    return std::string("contaxio-cli ") + CONTAXIO_VERSION + "\n";
}

CliOptions CliOptions::parse(const std::vector<std::string>& arguments) {
    CliOptions options;
    const auto fail = [&options](const std::string& message) {
        options.error = message;
        options.command = Command::None;
        return options;
    };
    std::vector<std::string> seen;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options = CliOptions{};
            options.command = Command::Help;
            return options;
        }
        if (argument == "--version") {
            options = CliOptions{};
            options.command = Command::Version;
            return options;
        }
        if (options.command == Command::None) {
            const auto command = commandOf(argument);
            if (!command) {
                return fail(argument.rfind("-", 0) == 0
                                ? "a command (export, probe or demo) must come first"
                                : "unknown command \"" + argument + "\"");
            }
            options.command = *command;
            continue;
        }
        if (argument.rfind("--", 0) != 0) {
            return fail("unexpected argument \"" + argument + "\"");
        }
        const std::size_t equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        if (!takes(options.command, option)) {
            return fail((option == "--port" || option == "--output" || option == "--storages" ||
                                 option == "--layout" || option == "--quiet"
                             ? option + " does not go with this command"
                             : "unknown option " + option));
        }
        if (std::find(seen.begin(), seen.end(), option) != seen.end()) {
            return fail(option + " is given twice");
        }
        seen.push_back(option);
        std::string value;
        if (!needsValue(option)) {
            if (equals != std::string::npos) {
                return fail(option + " takes no value");
            }
        } else if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return fail(option + " needs a value");
        }
        if (needsValue(option) && value.empty()) {
            return fail(option + " needs a value");
        }
        if (option == "--port") {
            options.port = value;
        } else if (option == "--output") {
            options.output = value;
        } else if (option == "--quiet") {
            options.quiet = true;
        } else if (option == "--storages") {
            const auto storages = storagesOf(value);
            if (!storages) {
                return fail("--storages takes me, sm or me,sm, not \"" + value + "\"");
            }
            options.storages = *storages;
        } else if (option == "--layout") {
            const std::string layout = lowered(value);
            if (layout == "google") {
                options.layout = output_format::GoogleCsv;
            } else if (layout == "outlook") {
                options.layout = output_format::OutlookCsv;
            } else {
                return fail("--layout takes google or outlook, not \"" + value + "\"");
            }
        }
    }
    switch (options.command) {
        case Command::None:
            return fail("no command given");
        case Command::Export:
            if (options.port.empty()) {
                return fail("export needs --port PATH (the phone's modem port)");
            }
            if (options.output.empty()) {
                return fail("export needs --output FILE (the CSV file to write)");
            }
            break;
        case Command::Probe:
            if (options.port.empty()) {
                return fail("probe needs --port PATH (the phone's modem port)");
            }
            break;
        case Command::Demo:
            if (options.output.empty()) {
                options.output = "contacts.csv";
            }
            break;
        default:
            break;
    }
    return options;
}
