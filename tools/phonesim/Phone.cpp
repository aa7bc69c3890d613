#include "phonesim/Phone.h"

#include <algorithm>
#include <optional>

#include "charsets/AsciiCase.h"
#include "phonesim/PhoneCharset.h"
#include "phonesim/PhonebookFormatter.h"

namespace phonesim {
namespace {

constexpr int kNotAllowed = 3;
constexpr int kNotSupported = 4;
constexpr int kSimPinRequired = 11;
constexpr int kSimPukRequired = 12;
constexpr int kInvalidIndex = 21;
constexpr int kNotFound = 22;
constexpr int kIncorrectParameters = 50;

using ascii_case::upperCased;

std::string trimmed(const std::string& text) {
    const auto begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// Splits set-form arguments at commas outside double quotes; blanks around them are dropped.
std::vector<std::string> splitArguments(const std::string& text) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        }
        if (c == ',' && !quoted) {
            arguments.push_back(trimmed(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    arguments.push_back(trimmed(current));
    return arguments;
}

std::optional<int> number(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoi(text);
}

std::string unquoted(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

std::string quotedList(const std::vector<std::string>& items) {
    std::string list;
    for (const std::string& item : items) {
        if (!list.empty()) {
            list += ',';
        }
        list += '"' + item + '"';
    }
    return list;
}

std::string range(int first, int last) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about a literal
    // prepended to a temporary string.
    std::string text = "(";
    text += std::to_string(first);
    text += '-';
    text += std::to_string(last);
    text += ')';
    return text;
}

std::string errorText(int code) {
    switch (code) {
        case kNotAllowed:
            return "operation not allowed";
        case kNotSupported:
            return "operation not supported";
        case kInvalidIndex:
            return "invalid index";
        case kNotFound:
            return "not found";
        case kSimPinRequired:
            return "SIM PIN required";
        case kSimPukRequired:
            return "SIM PUK required";
        default:
            return "incorrect parameters";
    }
}

// The answer with text inside it: after its first line, or before its final result when it has
// no other line.
std::string withInside(const std::string& answer, const std::string& text) {
    const std::string line = "\r\n" + text;
    const std::size_t firstEnd = answer.starts_with("\r\n") ? answer.find("\r\n", 2) : 0;
    if (firstEnd == 0 || firstEnd == std::string::npos || firstEnd + 2 >= answer.size()) {
        return line + "\r\n" + answer;
    }
    return answer.substr(0, firstEnd) + line + answer.substr(firstEnd);
}

bool anyMatches(const std::vector<CommandPattern>& patterns, const std::string& line) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&line](const CommandPattern& pattern) { return pattern.matches(line); });
}

}  // namespace

// One command line taken apart: "AT" and then either a basic command (a letter and a number)
// or an extended one ("+NAME" with nothing, "?", "=?" or "=" and arguments after it).
struct Phone::Command {
    enum class Form { Action, Query, Test, Set, Invalid };

    std::string name;  // upper case: "+CPBR", or the letter of a basic command, or empty
    Form form = Form::Invalid;
    std::string arguments;

    static Command parse(const std::string& line) {
        Command command;
        if (line.size() < 2 || upperCased(line.substr(0, 2)) != "AT") {
            return command;
        }
        const std::string body = line.substr(2);
        if (body.empty()) {
            command.form = Form::Action;
            return command;
        }
        if (body[0] != '+') {
            command.name = upperCased(body.substr(0, 1));
            command.arguments = body.substr(1);
            command.form = Form::Set;
            return command;
        }
        const auto end = body.find_first_of("=?");
        command.name = upperCased(body.substr(0, end));
        const std::string rest = end == std::string::npos ? std::string() : body.substr(end);
        if (rest.empty()) {
            command.form = Form::Action;
        } else if (rest == "?") {
            command.form = Form::Query;
        } else if (rest == "=?") {
            command.form = Form::Test;
        } else if (rest[0] == '=') {
            command.form = Form::Set;
            command.arguments = rest.substr(1);
        }
        return command;
    }
};

Phone::Phone(const Scenario& scenario)
    : scenario_(scenario),
      echo_(scenario.behaviour.echo),
      errorMode_(scenario.behaviour.errorMode),
      charset_(scenario.initialCharset()),
      mode_(scenario.phone.mode) {
    if (!scenario.storages.empty()) {
        selected_ = scenario.storages.front().name;
    }
    for (const Behaviour::SelectRefusal& refusal : scenario.behaviour.selectRefusals) {
        refusalsLeft_.push_back(refusal.times);
    }
}

Reply Phone::handle(const std::string& line) {
    const Behaviour& behaviour = scenario_.behaviour;
    const Command command = Command::parse(line);
    const bool isRead =
        command.form == Command::Form::Set && (command.name == "+CPBR" || command.name == "+MPBRE");
    if (isRead) {
        ++reads_;
    }

    Reply reply;
    if (anyMatches(behaviour.unplugAt, line) ||
        (isRead && behaviour.unplugAfterReads &&
         reads_ > static_cast<std::size_t>(*behaviour.unplugAfterReads))) {
        reply.kind = Reply::Kind::Unplug;
        return reply;
    }
    if (anyMatches(behaviour.silent, line)) {
        reply.kind = Reply::Kind::Silence;
        return reply;
    }
    if (echo_) {
        reply.echo = line + "\r";
    }

    const auto canned =
        std::find_if(behaviour.cannedAnswers.begin(), behaviour.cannedAnswers.end(),
                     [&line](const Behaviour::CannedAnswer& each) { return each.pattern(line); });
    if (canned != behaviour.cannedAnswers.end()) {
        reply.answer = canned->bytes;
    } else if (anyMatches(behaviour.failing, line)) {
        reply.answer = "\r\nERROR\r\n";
    } else {
        reply.answer = execute(command);
    }

    ++answers_;
    for (const Behaviour::Unsolicited& code : behaviour.unsolicited) {
        if (code.within) {
            if (code.within->matches(line)) {
                reply.answer = withInside(reply.answer, code.text);
            }
            continue;
        }
        const bool due = code.every > 0 ? answers_ % static_cast<std::size_t>(code.every) == 0
                                        : code.after && code.after->matches(line);
        if (due) {
            reply.unsolicited += "\r\n" + code.text + "\r\n";
        }
    }
    return reply;
}

std::string Phone::execute(const Command& command) {
    if (command.form == Command::Form::Invalid) {
        return "\r\nERROR\r\n";
    }
    const std::string& name = command.name;
    if (name.empty() || name[0] != '+') {
        return basic(command);
    }
    const PhoneInfo& phone = scenario_.phone;
    const bool action = command.form == Command::Form::Action;
    const bool test = command.form == Command::Form::Test;
    if (name == "+CGMI" && (action || test)) {
        return ok(action ? std::vector<std::string>{phone.manufacturer}
                         : std::vector<std::string>{});
    }
    if (name == "+CGMR" && (action || test)) {
        return ok(action ? std::vector<std::string>{phone.revision} : std::vector<std::string>{});
    }
    if (name == "+CGMM" && (action || test)) {
        std::vector<std::string> items = phone.bands;
        items.push_back("MODEL=" + phone.model);
        const std::string model =
            phone.plainIdentification ? phone.model : "+CGMM: " + quotedList(items);
        return ok(action ? std::vector<std::string>{model} : std::vector<std::string>{});
    }
    if (name == "+CGSN" && (action || test)) {
        const std::string serial = phone.plainIdentification ? phone.imei : "+CGSN: " + phone.imei;
        return ok(action ? std::vector<std::string>{serial} : std::vector<std::string>{});
    }
    if (name == "+CPIN" && !phone.sim.empty()) {
        return simStatus(command);
    }
    if (name == "+CLAC" && (action || test)) {
        return ok(action ? scenario_.commandList() : std::vector<std::string>{});
    }
    if (name == "+CMEE") {
        return errorReporting(command);
    }
    if (name == "+MODE" && phone.modeCommand) {
        return mode(command);
    }
    if (name == "+CSCS") {
        return charsets(command);
    }
    if (name == "+CPBS") {
        return storages(command);
    }
    if (name == "+CPBR") {
        return standardPhonebook(command);
    }
    if (phone.extended && name == "+MPBRE") {
        return extendedPhonebook(command);
    }
    if (phone.extended && name == "+MPGR") {
        return groups(command);
    }
    return "\r\nERROR\r\n";
}

std::string Phone::basic(const Command& command) {
    const std::string& arguments = command.arguments;
    if (command.name.empty()) {
        return ok();
    }
    if (command.name == "E" && (arguments.empty() || arguments == "0" || arguments == "1")) {
        echo_ = arguments == "1";
        return ok();
    }
    if (command.name == "Z" && (arguments.empty() || arguments == "0")) {
        echo_ = scenario_.behaviour.echo;
        errorMode_ = scenario_.behaviour.errorMode;
        charset_ = scenario_.initialCharset();
        return ok();
    }
    if (command.name == "I" && (arguments.empty() || arguments == "0")) {
        const PhoneInfo& phone = scenario_.phone;
        return ok({phone.manufacturer, phone.model, phone.revision});
    }
    return "\r\nERROR\r\n";
}

std::string Phone::errorReporting(const Command& command) {
    switch (command.form) {
        case Command::Form::Query:
            return ok({"+CMEE: " + std::to_string(errorMode_)});
        case Command::Form::Test:
            return ok({"+CMEE: (0-2)"});
        case Command::Form::Set: {
            const auto value = number(trimmed(command.arguments));
            if (!value || *value > 2) {
                return error(kIncorrectParameters);
            }
            errorMode_ = *value;
            return ok();
        }
        default:
            return "\r\nERROR\r\n";
    }
}

std::string Phone::mode(const Command& command) {
    switch (command.form) {
        case Command::Form::Query:
            return ok({"+MODE: " + std::to_string(mode_)});
        case Command::Form::Test:
            return ok({"+MODE: (0-2)"});
        case Command::Form::Set: {
            const auto value = number(trimmed(command.arguments));
            if (!value || *value > 2) {
                return error(kIncorrectParameters);
            }
            mode_ = *value;
            // After switching to mode 2 the phone reports the new mode in a few more lines.
            return mode_ == 2 ? ok() + scenario_.behaviour.mode2Tail : ok();
        }
        default:
            return "\r\nERROR\r\n";
    }
}

std::string Phone::charsets(const Command& command) {
    const std::vector<std::string>& offered = scenario_.phone.charsets;
    switch (command.form) {
        case Command::Form::Query:
            return ok({"+CSCS: \"" + charset_ + "\""});
        case Command::Form::Test:
            return ok({"+CSCS: (" + quotedList(offered) + ")"});
        case Command::Form::Set: {
            const std::string wanted = upperCased(unquoted(trimmed(command.arguments)));
            const auto found = std::find_if(
                offered.begin(), offered.end(),
                [&wanted](const std::string& each) { return upperCased(each) == wanted; });
            if (found == offered.end()) {
                return error(kNotSupported);
            }
            charset_ = *found;
            return ok();
        }
        default:
            return "\r\nERROR\r\n";
    }
}

bool Phone::phonebookAllowed() const {
    const auto& required = scenario_.behaviour.requiredMode;
    return !required || *required == mode_;
}

std::optional<int> Phone::simLock() const {
    const std::string& sim = scenario_.phone.sim;
    if (sim == "pin") {
        return kSimPinRequired;
    }
    if (sim == "puk") {
        return kSimPukRequired;
    }
    return std::nullopt;
}

std::string Phone::simStatus(const Command& command) const {
    switch (command.form) {
        case Command::Form::Query: {
            const std::string& sim = scenario_.phone.sim;
            return ok({std::string("+CPIN: ") + (sim == "pin"   ? "SIM PIN"
                                                 : sim == "puk" ? "SIM PUK"
                                                                : "READY")});
        }
        case Command::Form::Test:
            return ok();
        default:
            // Entering a PIN is not played: the program never sends one.
            return error(kNotAllowed);
    }
}

const Storage* Phone::selected() const {
    return scenario_.storage(selected_);
}

std::string Phone::storages(const Command& command) {
    if (!phonebookAllowed()) {
        return error(kNotAllowed);
    }
    switch (command.form) {
        case Command::Form::Test: {
            std::vector<std::string> names;
            for (const Storage& storage : scenario_.storages) {
                names.push_back(storage.name);
            }
            return ok({"+CPBS: (" + quotedList(names) + ")"});
        }
        case Command::Form::Query: {
            const Storage* storage = selected();
            if (simLock()) {
                return error(*simLock());
            }
            if (storage == nullptr) {
                return error(kNotAllowed);
            }
            return ok({"+CPBS: \"" + storage->name + "\"," +
                       std::to_string(storage->contacts.size()) + "," +
                       std::to_string(storage->capacity)});
        }
        case Command::Form::Set: {
            if (simLock()) {
                return error(*simLock());
            }
            const std::string wanted = unquoted(splitArguments(command.arguments).front());
            const auto& refusals = scenario_.behaviour.selectRefusals;
            for (std::size_t i = 0; i < refusals.size(); ++i) {
                if ((refusals[i].storage.empty() || refusals[i].storage == wanted) &&
                    refusalsLeft_[i] > 0) {
                    --refusalsLeft_[i];
                    return "\r\nERROR\r\n";
                }
            }
            if (scenario_.storage(wanted) == nullptr) {
                return error(kNotAllowed);
            }
            selected_ = wanted;
            return ok();
        }
        default:
            return "\r\nERROR\r\n";
    }
}

namespace {

// The indexes a=first,b=last (b may be left out) of a read, checked against the storage's range.
std::optional<std::pair<int, int>> readRange(const std::string& arguments, int first, int last) {
    const std::vector<std::string> parts = splitArguments(arguments);
    if (parts.size() > 2) {
        return std::nullopt;
    }
    const auto from = number(parts[0]);
    const auto to = parts.size() == 2 ? number(parts[1]) : from;
    if (!from || !to || *from > *to || *from < first || *to > last) {
        return std::nullopt;
    }
    return std::make_pair(*from, *to);
}

}  // namespace

std::string Phone::standardPhonebook(const Command& command) {
    const Behaviour& behaviour = scenario_.behaviour;
    const Storage* storage = selected();
    PhonebookFormatter::NameStyle style;
    style.bare = behaviour.bareNames;
    style.padTo = behaviour.padNames && storage != nullptr ? storage->textLength : 0;
    return phonebookRead(command, "+CPBR: ",
                         [style](const PhonebookFormatter& formatter, const Contact& contact,
                                 std::vector<std::string>& lines) {
                             lines.push_back(formatter.standardLine(contact, style));
                         });
}

std::string Phone::extendedPhonebook(const Command& command) {
    return phonebookRead(command, "+MPBRE: ",
                         [](const PhonebookFormatter& formatter, const Contact& contact,
                            std::vector<std::string>& lines) {
                             for (std::string& line : formatter.extendedLines(contact)) {
                                 lines.push_back(std::move(line));
                             }
                         });
}

std::string Phone::phonebookRead(const Command& command, std::string_view testPrefix,
                                 const LineFormat& format) {
    if (!phonebookAllowed()) {
        return error(kNotAllowed);
    }
    if (simLock()) {
        return error(*simLock());
    }
    const Storage* storage = selected();
    if (storage == nullptr) {
        return error(kNotAllowed);
    }
    if (command.form == Command::Form::Test) {
        return ok({std::string(testPrefix) + range(storage->first, storage->last) + "," +
                   std::to_string(storage->numberLength) + "," +
                   std::to_string(storage->textLength)});
    }
    if (command.form != Command::Form::Set) {
        return "\r\nERROR\r\n";
    }
    const auto indexes = readRange(command.arguments, storage->first, storage->last);
    if (!indexes) {
        return error(kInvalidIndex);
    }
    const PhonebookFormatter formatter(PhoneCharset::named(charset_));
    std::vector<std::string> lines;
    for (auto it = storage->contacts.lower_bound(indexes->first);
         it != storage->contacts.end() && it->first <= indexes->second; ++it) {
        format(formatter, it->second, lines);
    }
    if (lines.empty() && scenario_.behaviour.emptyReadIsError) {
        return error(kNotFound);
    }
    return ok(lines);
}

std::string Phone::groups(const Command& command) {
    if (!phonebookAllowed()) {
        return error(kNotAllowed);
    }
    const GroupTable& table = scenario_.groups;
    if (command.form == Command::Form::Test) {
        return ok({"+MPGR: " + range(table.first, table.last) + "," +
                   std::to_string(selected() != nullptr ? selected()->textLength : 18)});
    }
    if (command.form != Command::Form::Set) {
        return "\r\nERROR\r\n";
    }
    const auto indexes = readRange(command.arguments, table.first, table.last);
    if (!indexes) {
        return error(kInvalidIndex);
    }
    const PhonebookFormatter formatter(PhoneCharset::named(charset_));
    std::vector<std::string> lines;
    for (auto it = table.names.lower_bound(indexes->first);
         it != table.names.end() && it->first <= indexes->second; ++it) {
        lines.push_back(formatter.groupLine(it->first, it->second));
    }
    return ok(lines);
}

std::string Phone::ok(const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return "\r\nOK\r\n";
    }
    std::size_t size = 8;
    for (const std::string& line : lines) {
        size += line.size() + 2;
    }
    std::string answer;
    answer.reserve(size + 2);
    for (const std::string& line : lines) {
        answer += "\r\n";
        answer += line;
    }
    answer += "\r\n\r\nOK\r\n";
    return answer;
}

std::string Phone::error(int code) const {
    switch (errorMode_) {
        case 1:
            return "\r\n+CME ERROR: " + std::to_string(code) + "\r\n";
        case 2:
            return "\r\n+CME ERROR: " + errorText(code) + "\r\n";
        default:
            return "\r\nERROR\r\n";
    }
}

}  // namespace phonesim
