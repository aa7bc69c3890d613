#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "common/StorageKind.h"
#include "export/OutputFormat.h"

namespace {

using Command = CliOptions::Command;

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// "me", "sm", "me,sm" or "sm,me" (any case) to storage kinds, phone memory first.
std::optional<std::vector<StorageKind>> storagesOf(const std::string& text) {
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
    std::vector<StorageKind> kinds;
    if (memory) {
        kinds.push_back(StorageKind::Memory);
    }
    if (sim) {
        kinds.push_back(StorageKind::Sim);
    }
    return kinds;
}

// "google", "outlook" or "vcard" (lower case) to its layout.
std::optional<OutputFormat> layoutNamed(const std::string& name) {
    if (name == "google") {
        return OutputFormat::GoogleCsv;
    }
    if (name == "outlook") {
        return OutputFormat::OutlookCsv;
    }
    if (name == "vcard") {
        return OutputFormat::VCard;
    }
    return std::nullopt;
}

const std::string kProgramDescription =
    "Copies the contacts of a phone connected by USB (its modem port, e.g. /dev/ttyACM0)\n"
    "into a CSV file that Google Contacts or Outlook can import, or a vCard file for\n"
    "every other address book.";

const std::string kExitStatuses =
    "Exit status:\n"
    "  0    every chosen storage was exported completely (probe: a phone that can be read)\n"
    "  1    an unexpected failure inside the program\n"
    "  2    wrong command line, or no --port while several phones can be read\n"
    "  3    no usable phone: none attached that can be read, the port is missing,\n"
    "       refused, busy or not a phone's port, the phone does not answer or is not\n"
    "       supported, reading a storage failed, or the devices could not be read\n"
    "  4    the phone was disconnected\n"
    "  5    the output could not be written: the file (folder, rights, disk full, a\n"
    "       terminal) or standard output\n"
    "  130  stopped by Ctrl-C (or SIGTERM)\n";

const std::string kListExitStatuses =
    "Exit status:\n"
    "  0    the devices were read (also when no phone is attached)\n"
    "  1    an unexpected failure inside the program\n"
    "  2    wrong command line\n"
    "  3    the devices could not be read\n"
    "  5    standard output could not be written\n"
    "  130  stopped by Ctrl-C (or SIGTERM); the way --watch ends\n";

const std::string kListNotes =
    "States: no driver, other USB mode, not supported (level 3), standard phonebook\n"
    "(level 4) and extended phonebook (level 5); export and probe can read a phone in\n"
    "level 4 or 5, and without --port they use the one such phone attached. Each phone\n"
    "of the maker is listed once; other vendors' modems are left alone unless --all is\n"
    "given, which lists their ports as \"not probed\" without opening them.\n";

const std::string kNumbers =
    "Progress (on standard error) and summary count, per storage:\n"
    "  places    the numbered places of the storage's phonebook, used or empty: \"120 of\n"
    "            250 places read\" tells how far the reading has come\n"
    "  entries   the phonebook records in the contacts written (the extended phonebook\n"
    "            keeps one entry per number or address, so a contact may hold several)\n"
    "  contacts  the rows (or vCards) written to the file\n"
    "A storage ends completed, failed, disconnected, write error or cancelled (also when an\n"
    "earlier storage ended the export before it was reached); \"not chosen\" marks a storage\n"
    "left out with --storages, \"the phone has none\" one the phone does not offer.\n";

const std::string kExportNotes =
    "The summary goes to standard output, or to standard error when the contacts do. A file\n"
    "already at FILE is replaced only when at least one contact was exported or the export\n"
    "completed; otherwise it is left as it was. Ctrl-C stops an export; the contacts read\n"
    "so far make the new file. When the file cannot be written and standard input is a\n"
    "terminal, you are asked whether to retry; otherwise the export stops.\n";

// Help texts with a blank line between a command's description and its usage line.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_description(const CLI::App* app) const override {
        const std::string description = CLI::Formatter::make_description(app);
        return description.empty() ? description : description + "\n";
    }
};

// Lets a value through lower-cased when read accepts it; otherwise refuses it as "takes
// <accepted>, not "<value>"". The refusal comes out as "<option>: takes ...".
CLI::Validator accepted(const std::string& accepted, std::function<bool(const std::string&)> read) {
    return CLI::Validator(
        [accepted, read](std::string& value) -> std::string {
            if (!read(lowered(value))) {
                return "takes " + accepted + ", not \"" + value + "\"";
            }
            value = lowered(value);
            return {};
        },
        "");
}

// The options' values as the parser collects them. CLI11 refuses a value option given twice
// and a value that is not allowed.
struct RawValues {
    std::string port;
    std::string output;
    std::string storages;
    std::string layout;
    std::string trace;
    bool quiet = false;
    bool json = false;
    bool watch = false;
    bool all = false;
    bool version = false;
};

// The command line's grammar: the program's options and one subcommand per command. A
// command grows by a subcommand here and a branch in CliOptions::parse.
class Grammar {
public:
    Grammar() : app_(kProgramDescription, "contaxio-cli") {
        app_.allow_extras();
        app_.require_subcommand(0, 1);
        app_.add_flag("--version", values_.version, "The program's version.");
        app_.footer("Run contaxio-cli COMMAND --help for the options of a command.\n\n" +
                    kExitStatuses);
        auto formatter = std::make_shared<HelpFormatter>();
        formatter->column_width(22);
        app_.formatter(formatter);

        CLI::App* listCommand =
            command(Command::List,
                    "Lists the phones attached by USB: what each one is (its state),\n"
                    "model, IMEI, alias and modem port, and for a phone that cannot be\n"
                    "read what to do about it.",
                    kListNotes + "\n" + kListExitStatuses);
        listCommand->add_flag("--json", values_.json,
                              "Writes the list as JSON for scripts: an array of objects with\n"
                              "port, state, state_name, model, imei and alias.");
        listCommand->add_flag("--watch", values_.watch,
                              "Keeps following phones plugged in or unplugged, a line per\n"
                              "change, until Ctrl-C.");
        listCommand->add_flag("--all", values_.all,
                              "Also lists every other serial port attached by USB (phones and\n"
                              "modems of other makers, and any other USB serial device) with\n"
                              "what the system tells of it, without opening it; probe --port\n"
                              "PATH asks one. With --json their objects say \"probed\": false.");

        CLI::App* exportCommand =
            command(Command::Export,
                    "Reads the phonebooks of the phone (the one attached that can be read, or the\n"
                    "one on --port PATH) and writes them to FILE.",
                    kNumbers + "\n" + kExportNotes + "\n" + kExitStatuses);
        port(exportCommand);
        valueOption(exportCommand, "--output", values_.output, "FILE",
                    "The file to write (required), or - for standard output.");
        valueOption(exportCommand, "--storages", values_.storages, "LIST",
                    "me (phone memory), sm (SIM) or me,sm; default: what the phone\n"
                    "offers. The phone memory is always read first, whatever the\n"
                    "order given.")
            ->transform(accepted("me, sm or me,sm", [](const std::string& value) {
                return storagesOf(value).has_value();
            }));
        layout(exportCommand);
        quiet(exportCommand);
        trace(exportCommand);

        CLI::App* probeCommand =
            command(Command::Probe,
                    "Tells what the phone (the one attached that can be read, or the one on\n"
                    "--port PATH) is: model, IMEI, support level, and the charsets and\n"
                    "phonebook storages it offers.",
                    kExitStatuses);
        port(probeCommand);
        trace(probeCommand);

        CLI::App* demoCommand =
            command(Command::Demo,
                    "Exports the contacts of a built-in simulated phone, to see the whole\n"
                    "path work without a phone.",
                    kNumbers + "\n" + kExitStatuses);
        valueOption(demoCommand, "--output", values_.output, "FILE",
                    "The file to write (default: contacts.csv, or contacts.vcf with\n"
                    "--layout vcard), or - for standard output.");
        layout(demoCommand);
        quiet(demoCommand);
        trace(demoCommand);
    }

    CLI::App& app() { return app_; }
    const CLI::App& app() const { return app_; }
    const RawValues& values() const { return values_; }

    // The subcommand of a command; null for Help, Version and None.
    CLI::App* subcommand(Command which) const {
        for (const auto& [command, app] : commands_) {
            if (command == which) {
                return app;
            }
        }
        return nullptr;
    }

    // Whether --help (or -h) was given, to the program or to the command chosen.
    bool helpAsked() const {
        const CLI::App* sub = subcommand(chosen());
        return app_.get_help_ptr()->count() > 0 ||
               (sub != nullptr && sub->get_help_ptr()->count() > 0);
    }

    // The command the person chose, None when there was none.
    Command chosen() const {
        for (const auto& [command, app] : commands_) {
            if (app->parsed()) {
                return command;
            }
        }
        return Command::None;
    }

    // The command whose subcommand is named so; None when there is none.
    Command commandNamed(const std::string& name) const {
        for (const auto& [command, app] : commands_) {
            if (app->get_name() == name) {
                return command;
            }
        }
        return Command::None;
    }

    // The option of that command (or of the program, for None) named so; null when it has none.
    const CLI::Option* option(Command which, const std::string& name) const {
        const CLI::App* owner = which == Command::None ? &app_ : subcommand(which);
        return owner == nullptr ? nullptr : owner->get_option_no_throw(name);
    }

    // Some command that takes the option; None when none does.
    Command commandTaking(const std::string& name) const {
        for (const auto& [command, app] : commands_) {
            if (app->get_option_no_throw(name) != nullptr) {
                return command;
            }
        }
        return Command::None;
    }

private:
    CLI::App* command(Command which, const std::string& description, const std::string& footer) {
        CLI::App* sub = app_.add_subcommand(CliOptions::commandName(which), description);
        sub->allow_extras();
        sub->footer(footer);
        commands_.emplace_back(which, sub);
        return sub;
    }

    static CLI::Option* valueOption(CLI::App* sub, const std::string& name, std::string& value,
                                    const std::string& typeName, const std::string& description) {
        return sub->add_option(name, value, description)
            ->type_name(typeName)
            ->multi_option_policy(CLI::MultiOptionPolicy::Throw)
            ->allow_extra_args(false);
    }

    void port(CLI::App* sub) {
        valueOption(sub, "--port", values_.port, "PATH",
                    "The phone's modem port, e.g. /dev/ttyACM0; by default the one\n"
                    "attached phone that can be read (see contaxio-cli list).");
    }
    void layout(CLI::App* sub) {
        valueOption(sub, "--layout", values_.layout, "NAME",
                    "google (default) or outlook: a CSV file for Google Contacts or\n"
                    "Outlook; vcard: a vCard 3.0 file (UTF-8) for every other address\n"
                    "book.")
            ->transform(accepted("google, outlook or vcard", [](const std::string& value) {
                return layoutNamed(value).has_value();
            }));
    }
    void quiet(CLI::App* sub) {
        sub->add_flag("--quiet", values_.quiet, "No progress display on standard error.");
    }
    void trace(CLI::App* sub) {
        valueOption(sub, "--trace", values_.trace, "FILE",
                    "Writes every byte exchanged with the phone, with times and\n"
                    "directions, to FILE (for a bug report).");
    }

    CLI::App app_;
    RawValues values_;
    std::vector<std::pair<Command, CLI::App*>> commands_;
};

bool looksLikeOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// The refusal the parser's rules leave to us: an option that would take another option (or
// nothing) as its value, and a flag given a value. Empty when there is none.
std::string valueProblem(const Grammar& grammar, const std::vector<std::string>& arguments) {
    Command scope = Command::None;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            break;
        }
        if (scope == Command::None) {
            if (const Command named = grammar.commandNamed(argument); named != Command::None) {
                scope = named;
                continue;
            }
        }
        if (!argument.starts_with("--")) {
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const CLI::Option* option = grammar.option(scope, name);
        if (option == nullptr) {
            continue;  // refused later as unknown or misplaced
        }
        const bool takesValue = option->get_expected_min() > 0;
        if (!takesValue) {
            if (equals != std::string::npos) {
                return name + " takes no value";
            }
            continue;
        }
        if (equals != std::string::npos) {
            if (equals + 1 == argument.size()) {
                return name + " needs a value";
            }
            continue;
        }
        if (i + 1 == arguments.size() || looksLikeOption(arguments[i + 1])) {
            return name + " needs a value";
        }
        ++i;  // the value
    }
    return {};
}

// How CLI11 refused a value of an option, in our words; empty for any other refusal.
std::string valueRefusal(const Grammar& grammar, Command scope, const CLI::ParseError& failure) {
    const CLI::App* owner = scope == Command::None ? &grammar.app() : grammar.subcommand(scope);
    for (const CLI::Option* option : owner->get_options()) {
        if (option->get_expected_min() > 0 && option->count() > 1) {
            return option->get_name() + " is given twice";
        }
    }
    if (dynamic_cast<const CLI::ValidationError*>(&failure) != nullptr) {
        // "--layout: takes google or outlook, not ..." without its colon.
        std::string message = failure.what();
        const std::size_t colon = message.find(": ");
        return colon == std::string::npos ? message : message.erase(colon, 1);
    }
    return {};
}

}  // namespace

std::string CliOptions::commandName(Command command) {
    switch (command) {
        case Command::List:
            return "list";
        case Command::Export:
            return "export";
        case Command::Probe:
            return "probe";
        case Command::Demo:
            return "demo";
        default:
            return {};
    }
}

std::string CliOptions::usage(Command command) {
    Grammar grammar;
    if (CLI::App* sub = grammar.subcommand(command)) {
        return sub->help("contaxio-cli");
    }
    return grammar.app().help();
}

std::string CliOptions::version() {
    return std::string("contaxio-cli ") + CONTAXIO_VERSION + "\n";
}

CliOptions CliOptions::parse(const std::vector<std::string>& arguments) {
    CliOptions options;
    Grammar grammar;
    const auto fail = [&options](const std::string& message, Command refused) {
        options = CliOptions{};
        options.error = message;
        options.errorCommand = refused;
        return options;
    };

    // CLI11 wants the arguments in reverse, as it takes them from the back.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    std::string problem = valueProblem(grammar, arguments);
    // A value CLI11 refused is told after the words that are out of place.
    std::string refusal;
    try {
        grammar.app().parse(reversed);
    } catch (const CLI::CallForHelp&) {
        options.command = Command::Help;
        options.help = usage(grammar.chosen());
        return options;
    } catch (const CLI::ParseError& failure) {
        refusal = valueRefusal(grammar, grammar.chosen(), failure);
        if (problem.empty() && refusal.empty()) {
            problem = failure.what();
        }
    }
    // --help wins over a value refused on its way, as over everything CLI11 lets through.
    if (!refusal.empty() && grammar.helpAsked()) {
        options.command = Command::Help;
        options.help = usage(grammar.chosen());
        return options;
    }
    const Command chosen = grammar.chosen();
    if (!problem.empty()) {
        return fail(problem, chosen);
    }

    const RawValues& values = grammar.values();
    const std::vector<std::string> rest = grammar.app().remaining(true);
    if (values.version) {
        if (chosen != Command::None || !rest.empty()) {
            return fail("--version takes nothing else", Command::None);
        }
        options.command = Command::Version;
        return options;
    }
    if (!rest.empty()) {
        const std::string& first = rest.front();
        if (chosen == Command::None) {
            if (looksLikeOption(first)) {
                return fail(grammar.commandTaking(first) != Command::None
                                ? "a command (list, export, probe or demo) must come first"
                                : "unknown option " + first,
                            Command::None);
            }
            return fail("unknown command \"" + first + "\"", Command::None);
        }
        if (looksLikeOption(first)) {
            const std::string name = first.substr(0, first.find('='));
            if (grammar.option(Command::None, name) != nullptr) {
                return fail(name + " takes nothing else", chosen);
            }
            return fail(grammar.commandTaking(name) != Command::None
                            ? name + " does not go with " + commandName(chosen)
                            : "unknown option " + name,
                        chosen);
        }
        return fail("unexpected argument \"" + first + "\"", chosen);
    }
    if (chosen == Command::None) {
        return fail("no command given", Command::None);
    }

    if (!refusal.empty()) {
        return fail(refusal, chosen);
    }
    options.command = chosen;
    options.port = values.port;
    options.output = values.output;
    options.trace = values.trace;
    options.quiet = values.quiet;
    options.json = values.json;
    options.watch = values.watch;
    options.all = values.all;
    options.storages = storagesOf(values.storages).value_or(std::vector<StorageKind>{});
    options.layout = layoutNamed(values.layout).value_or(OutputFormat::GoogleCsv);

    // What each command needs. export and probe find the phone themselves without --port.
    if (chosen == Command::Export && options.output.empty()) {
        return fail("export needs --output FILE (the file to write)", chosen);
    }
    if (chosen == Command::List && options.all && options.watch) {
        return fail("--all does not go with --watch (only phones are followed)", chosen);
    }
    if (chosen == Command::Demo && options.output.empty()) {
        options.output = options.layout == OutputFormat::VCard ? "contacts.vcf" : "contacts.csv";
    }
    return options;
}
