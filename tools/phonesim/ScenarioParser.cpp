#include "phonesim/ScenarioParser.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "charsets/HexDigits.h"
#include "charsets/TextCodec.h"
#include "charsets/Utf16.h"

namespace phonesim {
namespace {

// A problem found in the text; caught inside parse() and turned into the refusal.
struct Problem {
    std::string message;
};

std::string trim(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) {
        return {};
    }
    const auto end = text.find_last_not_of(" \t");
    return std::string(text.substr(begin, end - begin + 1));
}

std::vector<std::string> words(std::string_view text) {
    std::istringstream stream{std::string(text)};
    return {std::istream_iterator<std::string>(stream), std::istream_iterator<std::string>()};
}

std::vector<std::string> list(std::string_view text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            comma = text.size();
        }
        std::string item = trim(text.substr(start, comma - start));
        if (item.empty()) {
            throw Problem{"empty item in the list \"" + std::string(text) + "\""};
        }
        items.push_back(std::move(item));
        start = comma + 1;
    }
    return items;
}

int integer(std::string_view text, long long min, long long max, std::string_view what) {
    const std::string value = trim(text);
    bool digits = !value.empty() && value.size() <= 10;
    for (const char c : value) {
        digits = digits && c >= '0' && c <= '9';
    }
    const long long number = digits ? std::stoll(value) : -1;
    if (!digits || number < min || number > max) {
        throw Problem{std::string(what) + " must be a whole number from " + std::to_string(min) +
                      " to " + std::to_string(max) + ", not \"" + value + "\""};
    }
    return static_cast<int>(number);
}

std::chrono::milliseconds duration(std::string_view text, std::string_view what) {
    std::string value = trim(text);
    if (value.size() > 2 && value.compare(value.size() - 2, 2, "ms") == 0) {
        value = trim(value.substr(0, value.size() - 2));
    }
    return std::chrono::milliseconds(integer(value, 0, 600000, std::string(what) + " (ms)"));
}

bool boolean(std::string_view text, std::string_view what) {
    const std::string value = trim(text);
    if (value == "on" || value == "yes" || value == "true") {
        return true;
    }
    if (value == "off" || value == "no" || value == "false") {
        return false;
    }
    throw Problem{std::string(what) + " must be on or off (yes/no), not \"" + value + "\""};
}

std::pair<int, int> indexRange(std::string_view text) {
    const std::string value = trim(text);
    const auto dash = value.find('-');
    if (dash == std::string::npos || dash == 0) {
        throw Problem{"a range is written first-last, e.g. 1-250, not \"" + value + "\""};
    }
    return {integer(value.substr(0, dash), 0, 1000000, "the first index"),
            integer(value.substr(dash + 1), 0, 1000000, "the last index")};
}

// Printable ASCII without double quotes: what the phone sends bare or between quotes as is.
std::string plainAscii(const std::string& value, std::string_view what) {
    for (const char c : value) {
        if (c < 0x20 || c > 0x7E || c == '"') {
            throw Problem{std::string(what) + " must be printable ASCII without double quotes: \"" +
                          value + "\""};
        }
    }
    return value;
}

std::u16string text(const std::string& value, std::string_view what) {
    for (const char c : value) {
        if ((c >= 0 && c < 0x20) || c == 0x7F) {
            throw Problem{std::string(what) + " must not hold control characters"};
        }
    }
    return text_codec::fromUtf8(value);
}

void appendUtf8(std::string& out, char32_t codePoint) {
    std::u16string units;
    utf16::appendCodePoint(units, codePoint);
    out += text_codec::toUtf8(units);
}

// A value as written after '=': taken as it stands, or, between double quotes, with the
// escapes \\ \" \r \n \t \xHH (one byte) and \u{H...} (one character).
std::string value(std::string_view raw) {
    const std::string written = trim(raw);
    if (written.empty() || written.front() != '"') {
        return written;
    }
    if (written.size() < 2 || written.back() != '"') {
        throw Problem{"a quoted value must end with a double quote"};
    }
    std::string out;
    const std::string_view inner(written.data() + 1, written.size() - 2);
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == '"') {
            throw Problem{"a double quote inside a quoted value is written \\\""};
        }
        if (inner[i] != '\\') {
            out.push_back(inner[i]);
            continue;
        }
        if (++i == inner.size()) {
            throw Problem{"a quoted value ends in the middle of an escape"};
        }
        switch (inner[i]) {
            case '\\':
            case '"':
                out.push_back(inner[i]);
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'x': {
                using hex_digits::kNotADigit;
                const std::uint8_t high =
                    i + 1 < inner.size() ? hex_digits::valueOf(inner[i + 1]) : kNotADigit;
                const std::uint8_t low =
                    i + 2 < inner.size() ? hex_digits::valueOf(inner[i + 2]) : kNotADigit;
                if (high == kNotADigit || low == kNotADigit) {
                    throw Problem{"\\x needs two hexadecimal digits"};
                }
                out.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                break;
            }
            case 'u': {
                const auto close = inner.find('}', i);
                if (i + 1 >= inner.size() || inner[i + 1] != '{' || close == std::string::npos ||
                    close == i + 2 || close - i - 2 > 6) {
                    throw Problem{"\\u is written \\u{1F600}: one to six hexadecimal digits"};
                }
                char32_t codePoint = 0;
                for (std::size_t k = i + 2; k < close; ++k) {
                    const std::uint8_t digit = hex_digits::valueOf(inner[k]);
                    if (digit == hex_digits::kNotADigit) {
                        throw Problem{"\\u{...} holds a character that is not a hexadecimal digit"};
                    }
                    codePoint = codePoint * 16 + static_cast<char32_t>(digit);
                }
                if (codePoint > 0x10FFFF || utf16::isSurrogate(codePoint)) {
                    throw Problem{"\\u{...} names no character"};
                }
                appendUtf8(out, codePoint);
                i = close;
                break;
            }
            default:
                throw Problem{std::string("unknown escape \\") + inner[i]};
        }
    }
    return out;
}

// "left -> right", split at the first arrow.
std::pair<std::string, std::string> arrow(std::string_view raw, std::string_view form) {
    const auto at = raw.find("->");
    if (at == std::string_view::npos) {
        throw Problem{"expected " + std::string(form)};
    }
    std::string left = trim(raw.substr(0, at));
    if (left.empty()) {
        throw Problem{"expected " + std::string(form)};
    }
    return {std::move(left), value(raw.substr(at + 2))};
}

CommandPattern pattern(std::string_view raw) {
    const std::string written = value(raw);
    if (written.empty()) {
        throw Problem{"a command pattern must not be empty"};
    }
    return CommandPattern(written);
}

class Parser {
public:
    explicit Parser(std::string_view source) : source_(source) {}

    ParsedScenario run(std::string_view input) {
        ParsedScenario result;
        try {
            std::size_t start = 0;
            while (start < input.size()) {
                auto end = input.find('\n', start);
                if (end == std::string_view::npos) {
                    end = input.size();
                }
                ++line_;
                line(input.substr(start, end - start));
                start = end + 1;
            }
            finish();
            result.scenario = std::move(scenario_);
        } catch (const Problem& problem) {
            result.line = line_;
            result.error = source_ + (line_ > 0 ? ":" + std::to_string(line_) : std::string()) +
                           ": " + problem.message;
        }
        return result;
    }

private:
    enum class Section { None, Phone, Behaviour, Groups, Storage, Contact };

    struct PendingContact {
        std::string storage;
        Contact contact;
        int line = 0;
    };

    void line(std::string_view raw) {
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        if (line_ == 1 && raw.substr(0, 3) == "\xEF\xBB\xBF") {
            raw.remove_prefix(3);
        }
        if (text_codec::toUtf8(text_codec::fromUtf8(raw)) != raw) {
            throw Problem{"the line is not valid UTF-8"};
        }
        const std::string content = trim(raw);
        if (content.empty() || content[0] == '#' || content[0] == ';') {
            return;
        }
        if (content[0] == '[') {
            header(content);
            return;
        }
        const auto equals = content.find('=');
        if (equals == std::string::npos) {
            throw Problem{"expected \"key = value\" or a [section], not \"" + content + "\""};
        }
        const std::string key = trim(std::string_view(content).substr(0, equals));
        const std::string_view rest = std::string_view(content).substr(equals + 1);
        if (key.empty()) {
            throw Problem{"a line starts with '=': the key is missing"};
        }
        switch (section_) {
            case Section::None:
                throw Problem{"\"" + key + "\" comes before any [section]"};
            case Section::Phone:
                phoneKey(key, rest);
                break;
            case Section::Behaviour:
                behaviourKey(key, rest);
                break;
            case Section::Groups:
                groupKey(key, rest);
                break;
            case Section::Storage:
                storageKey(key, rest);
                break;
            case Section::Contact:
                contactKey(key, rest);
                break;
        }
    }

    void header(const std::string& content) {
        if (content.back() != ']') {
            throw Problem{"a section header must end with ']'"};
        }
        const std::vector<std::string> parts = words(content.substr(1, content.size() - 2));
        seenKeys_.clear();
        const std::string kind = parts.empty() ? std::string() : parts[0];
        if (parts.size() == 1 && (kind == "phone" || kind == "behaviour" || kind == "groups")) {
            if (!seenSections_.insert(kind).second) {
                throw Problem{"the section [" + kind + "] appears twice"};
            }
            section_ = kind == "phone"       ? Section::Phone
                       : kind == "behaviour" ? Section::Behaviour
                                             : Section::Groups;
            return;
        }
        if (parts.size() == 2 && kind == "storage") {
            storageName(parts[1]);
            if (scenario_.storage(parts[1]) != nullptr) {
                throw Problem{"the storage " + parts[1] + " is described twice"};
            }
            Storage storage;
            storage.name = parts[1];
            scenario_.storages.push_back(std::move(storage));
            storageLines_.push_back(line_);
            explicitCapacity_.push_back(false);
            section_ = Section::Storage;
            return;
        }
        if (parts.size() == 3 && kind == "contact") {
            storageName(parts[1]);
            PendingContact pending;
            pending.storage = parts[1];
            pending.contact.index = integer(parts[2], 0, 1000000, "a contact's index");
            pending.line = line_;
            contacts_.push_back(std::move(pending));
            section_ = Section::Contact;
            return;
        }
        throw Problem{"unknown section " + content +
                      " (known: [phone], [behaviour], [groups], [storage NAME], "
                      "[contact STORAGE INDEX])"};
    }

    static void storageName(const std::string& name) {
        const bool valid =
            !name.empty() && name.size() <= 8 && std::all_of(name.begin(), name.end(), [](char c) {
                return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
            });
        if (!valid) {
            throw Problem{"a storage name is one to eight letters or digits, not \"" + name + "\""};
        }
    }

    // Keys that hold one value may appear once per section.
    void once(const std::string& key) {
        if (!seenKeys_.insert(key).second) {
            throw Problem{"\"" + key + "\" is given twice in this section"};
        }
    }

    void phoneKey(const std::string& key, std::string_view raw) {
        PhoneInfo& phone = scenario_.phone;
        once(key);
        const std::string written = value(raw);
        if (key == "manufacturer") {
            phone.manufacturer = plainAscii(written, key);
        } else if (key == "model") {
            phone.model = plainAscii(written, key);
        } else if (key == "revision") {
            phone.revision = plainAscii(written, key);
        } else if (key == "imei") {
            phone.imei = plainAscii(written, key);
            if (phone.imei.empty() || phone.imei.find_first_of(" ,") != std::string::npos) {
                throw Problem{"imei must be one word without commas"};
            }
        } else if (key == "bands") {
            phone.bands = list(written);
            for (const std::string& band : phone.bands) {
                plainAscii(band, "a band name");
            }
        } else if (key == "charsets") {
            phone.charsets = list(written);
            for (const std::string& charset : phone.charsets) {
                plainAscii(charset, "a charset name");
            }
        } else if (key == "charset") {
            phone.charset = plainAscii(written, key);
            charsetLine_ = line_;
        } else if (key == "mode") {
            phone.mode = integer(written, 0, 2, key);
        } else if (key == "extended") {
            phone.extended = boolean(written, key);
        } else if (key == "commands") {
            phone.commandList = list(written);
        } else if (key == "mode-command") {
            phone.modeCommand = boolean(written, key);
        } else if (key == "sim") {
            if (written != "ready" && written != "pin" && written != "puk") {
                throw Problem{"sim must be ready, pin or puk, not \"" + written + "\""};
            }
            phone.sim = written;
        } else if (key == "identification") {
            if (written != "plain" && written != "prefixed") {
                throw Problem{"identification must be plain or prefixed, not \"" + written + "\""};
            }
            phone.plainIdentification = written == "plain";
        } else {
            throw Problem{"unknown key \"" + key +
                          "\" in [phone] (known: manufacturer, model, revision, imei, bands, "
                          "charsets, charset, mode, extended, commands, mode-command, sim, "
                          "identification)"};
        }
    }

    void behaviourKey(const std::string& key, std::string_view raw) {
        Behaviour& behaviour = scenario_.behaviour;
        if (key == "fail") {
            behaviour.failing.push_back(pattern(raw));
        } else if (key == "silent") {
            behaviour.silent.push_back(pattern(raw));
        } else if (key == "unplug-at") {
            behaviour.unplugAt.push_back(pattern(raw));
        } else if (key == "answer") {
            auto [left, bytes] = arrow(raw, "answer = COMMAND -> TEXT");
            behaviour.cannedAnswers.push_back({CommandPattern(left), std::move(bytes)});
        } else if (key == "unsolicited") {
            behaviour.unsolicited.push_back(unsolicited(raw));
        } else if (key == "refuse-select") {
            const std::vector<std::string> parts = words(value(raw));
            Behaviour::SelectRefusal refusal;
            if (parts.size() == 2) {
                storageName(parts[0]);
                refusal.storage = parts[0];
            } else if (parts.size() != 1) {
                throw Problem{"refuse-select is written COUNT or STORAGE COUNT"};
            }
            refusal.times = integer(parts.back(), 0, 100000, "the number of refusals");
            behaviour.selectRefusals.push_back(refusal);
        } else {
            once(key);
            const std::string written = value(raw);
            if (key == "echo") {
                behaviour.echo = boolean(written, key);
            } else if (key == "line-rate") {
                behaviour.lineRate = written == "off"
                                         ? 0
                                         : static_cast<std::uint32_t>(
                                               integer(written, 0, 100000000, "line-rate (bit/s)"));
            } else if (key == "chunk-size") {
                behaviour.chunkSize = static_cast<std::size_t>(integer(written, 0, 1 << 20, key));
            } else if (key == "chunk-pause") {
                behaviour.chunkPause = duration(written, key);
            } else if (key == "answer-delay") {
                behaviour.answerDelay = duration(written, key);
            } else if (key == "require-mode") {
                behaviour.requiredMode = written == "none"
                                             ? std::nullopt
                                             : std::optional<int>(integer(written, 0, 2, key));
            } else if (key == "empty-read") {
                if (written != "ok" && written != "error") {
                    throw Problem{"empty-read must be ok or error, not \"" + written + "\""};
                }
                behaviour.emptyReadIsError = written == "error";
            } else if (key == "mode2-tail") {
                behaviour.mode2Tail = written;
            } else if (key == "unplug-after-reads") {
                behaviour.unplugAfterReads = integer(written, 0, 10000000, key);
            } else if (key == "error-mode") {
                behaviour.errorMode = integer(written, 0, 2, key);
            } else if (key == "bare-names") {
                behaviour.bareNames = boolean(written, key);
            } else if (key == "pad-names") {
                behaviour.padNames = boolean(written, key);
            } else {
                throw Problem{"unknown key \"" + key +
                              "\" in [behaviour] (known: echo, line-rate, chunk-size, "
                              "chunk-pause, answer-delay, require-mode, empty-read, mode2-tail, "
                              "error-mode, bare-names, pad-names, refuse-select, fail, silent, "
                              "answer, unsolicited, unplug-at, unplug-after-reads)"};
            }
        }
    }

    static Behaviour::Unsolicited unsolicited(std::string_view raw) {
        auto [when, textValue] = arrow(raw,
                                       "unsolicited = every N -> TEXT, after COMMAND -> TEXT or "
                                       "within COMMAND -> TEXT");
        if (textValue.empty()) {
            throw Problem{"an unsolicited result code must not be empty"};
        }
        Behaviour::Unsolicited code;
        code.text = std::move(textValue);
        if (when.rfind("every ", 0) == 0) {
            code.every = integer(when.substr(6), 1, 1000000, "every");
        } else if (when.rfind("after ", 0) == 0 && !trim(when.substr(6)).empty()) {
            code.after = CommandPattern(trim(when.substr(6)));
        } else if (when.rfind("within ", 0) == 0 && !trim(when.substr(7)).empty()) {
            code.within = CommandPattern(trim(when.substr(7)));
        } else {
            throw Problem{
                "unsolicited is written \"every N -> TEXT\", \"after COMMAND -> TEXT\" or "
                "\"within COMMAND -> TEXT\""};
        }
        return code;
    }

    void groupKey(const std::string& key, std::string_view raw) {
        GroupTable& groups = scenario_.groups;
        if (key == "range") {
            once(key);
            std::tie(groups.first, groups.last) = indexRange(value(raw));
            groupsRangeSet_ = true;
            return;
        }
        const int number = integer(key, 0, 1000000, "a group number (or \"range\")");
        if (!groups.names.emplace(number, text(value(raw), "a group name")).second) {
            throw Problem{"the group " + std::to_string(number) + " is named twice"};
        }
    }

    void storageKey(const std::string& key, std::string_view raw) {
        Storage& storage = scenario_.storages.back();
        once(key);
        const std::string written = value(raw);
        if (key == "range") {
            std::tie(storage.first, storage.last) = indexRange(written);
        } else if (key == "capacity") {
            storage.capacity = integer(written, 0, 1000000, key);
            explicitCapacity_.back() = true;
        } else if (key == "number-length") {
            storage.numberLength = integer(written, 0, 1000, key);
        } else if (key == "text-length") {
            storage.textLength = integer(written, 0, 1000, key);
        } else {
            throw Problem{"unknown key \"" + key + "\" in [storage " + storage.name +
                          "] (known: range, capacity, number-length, text-length)"};
        }
    }

    void contactKey(const std::string& key, std::string_view raw) {
        Contact& contact = contacts_.back().contact;
        const std::string written = value(raw);
        int type = typeOfKey(key);
        if (type < 0 && key.rfind("item.", 0) == 0) {
            type = integer(key.substr(5), 0, 999, "the entry type after \"item.\"");
        }
        if (type >= 0) {
            Item item;
            item.type = type;
            item.value = classOfType(type) == ItemClass::Phone
                             ? text_codec::fromUtf8(plainAscii(written, "a phone number"))
                             : text(written, key);
            contact.items.push_back(std::move(item));
            return;
        }
        once(key);
        if (key == "name" || key == "given" || key == "family") {
            if (seenKeys_.count("name") != 0 &&
                (seenKeys_.count("given") != 0 || seenKeys_.count("family") != 0)) {
                throw Problem{"a contact has either a name or a given and family name"};
            }
            (key == "family" ? contact.familyName : contact.givenName) = text(written, key);
        } else if (key == "additional") {
            contact.additionalName = text(written, key);
        } else if (key == "birthday") {
            contact.birthday = plainAscii(written, key);
        } else if (key == "group") {
            contact.group = integer(written, 0, 1000000, key);
        } else if (key == "postal") {
            std::size_t part = 0;
            std::size_t start = 0;
            while (true) {
                if (part == contact.postal.size()) {
                    throw Problem{"postal has at most six parts separated by '|'"};
                }
                const auto bar = written.find('|', start);
                contact.postal[part++] =
                    text(trim(std::string_view(written).substr(start, bar - start)), key);
                if (bar == std::string::npos) {
                    break;
                }
                start = bar + 1;
            }
        } else {
            throw Problem{"unknown key \"" + key +
                          "\" in a contact (known: name, given, family, additional, birthday, "
                          "group, postal, phone.*, email.*, address.*, web, web.alt, item.N)"};
        }
    }

    void finish() {
        for (std::size_t i = 0; i < scenario_.storages.size(); ++i) {
            Storage& storage = scenario_.storages[i];
            if (!explicitCapacity_[i]) {
                storage.capacity = std::max(0, storage.last - storage.first + 1);
            }
        }
        for (PendingContact& pending : contacts_) {
            line_ = pending.line;
            Storage* storage = scenario_.storage(pending.storage);
            if (storage == nullptr) {
                throw Problem{"the storage " + pending.storage + " has no [storage " +
                              pending.storage + "] section"};
            }
            const int index = pending.contact.index;
            if (!storage->inRange(index)) {
                throw Problem{"the index " + std::to_string(index) + " is outside the range " +
                              std::to_string(storage->first) + "-" + std::to_string(storage->last) +
                              " of the storage " + storage->name};
            }
            if (!storage->contacts.emplace(index, std::move(pending.contact)).second) {
                throw Problem{"the contact " + storage->name + " " + std::to_string(index) +
                              " is described twice"};
            }
        }
        for (std::size_t i = 0; i < scenario_.storages.size(); ++i) {
            const Storage& storage = scenario_.storages[i];
            if (static_cast<int>(storage.contacts.size()) > storage.capacity) {
                line_ = storageLines_[i];
                throw Problem{"the storage " + storage.name + " holds " +
                              std::to_string(storage.contacts.size()) +
                              " contacts, more than its capacity " +
                              std::to_string(storage.capacity)};
            }
        }
        const PhoneInfo& phone = scenario_.phone;
        if (phone.charsets.empty()) {
            line_ = 0;
            throw Problem{"the phone offers no charset"};
        }
        if (!phone.charset.empty() && std::find(phone.charsets.begin(), phone.charsets.end(),
                                                phone.charset) == phone.charsets.end()) {
            line_ = charsetLine_;
            throw Problem{"the charset " + phone.charset + " is not among the charsets offered"};
        }
        GroupTable& groups = scenario_.groups;
        if (!groupsRangeSet_ && !groups.names.empty()) {
            groups.last = std::max(groups.last, groups.names.rbegin()->first);
        }
    }

    std::string source_;
    Scenario scenario_;
    int line_ = 0;
    Section section_ = Section::None;
    std::set<std::string> seenSections_;
    std::set<std::string> seenKeys_;
    std::vector<int> storageLines_;
    std::vector<bool> explicitCapacity_;
    std::vector<PendingContact> contacts_;
    bool groupsRangeSet_ = false;
    int charsetLine_ = 0;
};

}  // namespace

ParsedScenario ScenarioParser::parse(std::string_view text, std::string_view sourceName) {
    return Parser(sourceName).run(text);
}

ParsedScenario ScenarioParser::load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ParsedScenario result;
        result.error = path.string() + ": cannot be read";
        return result;
    }
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        ParsedScenario result;
        result.error = path.string() + ": cannot be read";
        return result;
    }
    return parse(content, path.string());
}

}  // namespace phonesim
