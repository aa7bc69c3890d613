#include "phonesim/ScenarioWriter.h"

#include <sstream>

#include "charsets/TextCodec.h"

namespace phonesim {
namespace {

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        out += (out.empty() ? "" : ", ") + item;
    }
    return out;
}

std::string milliseconds(std::chrono::milliseconds value) {
    return std::to_string(value.count()) + " ms";
}

void key(std::ostringstream& out, const std::string& name, const std::string& bytes) {
    out << name << " = " << ScenarioWriter::value(bytes) << '\n';
}

void textKey(std::ostringstream& out, const std::string& name, const std::u16string& text) {
    if (!text.empty()) {
        key(out, name, text_codec::toUtf8(text));
    }
}

void writeBehaviour(std::ostringstream& out, const Behaviour& behaviour) {
    const Behaviour defaults;
    if (behaviour == defaults) {
        return;
    }
    out << "\n[behaviour]\n";
    if (behaviour.echo != defaults.echo) {
        key(out, "echo", behaviour.echo ? "on" : "off");
    }
    if (behaviour.lineRate != 0) {
        key(out, "line-rate", std::to_string(behaviour.lineRate));
    }
    if (behaviour.chunkSize != 0) {
        key(out, "chunk-size", std::to_string(behaviour.chunkSize));
    }
    if (behaviour.chunkPause.count() != 0) {
        key(out, "chunk-pause", milliseconds(behaviour.chunkPause));
    }
    if (behaviour.answerDelay.count() != 0) {
        key(out, "answer-delay", milliseconds(behaviour.answerDelay));
    }
    if (behaviour.requiredMode) {
        key(out, "require-mode", std::to_string(*behaviour.requiredMode));
    }
    if (behaviour.emptyReadIsError) {
        key(out, "empty-read", "error");
    }
    if (behaviour.errorMode != defaults.errorMode) {
        key(out, "error-mode", std::to_string(behaviour.errorMode));
    }
    if (behaviour.bareNames) {
        key(out, "bare-names", "yes");
    }
    if (behaviour.padNames) {
        key(out, "pad-names", "yes");
    }
    if (behaviour.mode2Tail != defaults.mode2Tail) {
        key(out, "mode2-tail", behaviour.mode2Tail);
    }
    for (const auto& refusal : behaviour.selectRefusals) {
        key(out, "refuse-select",
            (refusal.storage.empty() ? "" : refusal.storage + " ") + std::to_string(refusal.times));
    }
    for (const auto& pattern : behaviour.failing) {
        key(out, "fail", pattern.text());
    }
    for (const auto& pattern : behaviour.silent) {
        key(out, "silent", pattern.text());
    }
    for (const auto& pattern : behaviour.unplugAt) {
        key(out, "unplug-at", pattern.text());
    }
    if (behaviour.unplugAfterReads) {
        key(out, "unplug-after-reads", std::to_string(*behaviour.unplugAfterReads));
    }
    for (const auto& canned : behaviour.cannedAnswers) {
        out << "answer = " << canned.pattern.text() << " -> " << ScenarioWriter::value(canned.bytes)
            << '\n';
    }
    for (const auto& code : behaviour.unsolicited) {
        const std::string when = code.every > 0 ? "every " + std::to_string(code.every)
                                 : code.within
                                     ? "within " + code.within->text()
                                     : "after " + (code.after ? code.after->text() : std::string());
        out << "unsolicited = " << when << " -> " << ScenarioWriter::value(code.text) << '\n';
    }
}

void writeContact(std::ostringstream& out, const std::string& storage, const Contact& contact) {
    out << "\n[contact " << storage << ' ' << contact.index << "]\n";
    if (contact.familyName.empty() && !contact.givenName.empty()) {
        textKey(out, "name", contact.givenName);
    } else {
        textKey(out, "given", contact.givenName);
        textKey(out, "family", contact.familyName);
    }
    textKey(out, "additional", contact.additionalName);
    if (!contact.birthday.empty()) {
        key(out, "birthday", contact.birthday);
    }
    if (contact.group) {
        key(out, "group", std::to_string(*contact.group));
    }
    if (contact.hasPostalAddress()) {
        std::string parts;
        for (std::size_t i = 0; i < contact.postal.size(); ++i) {
            parts += (i == 0 ? "" : " | ") + text_codec::toUtf8(contact.postal[i]);
        }
        key(out, "postal", parts);
    }
    for (const Item& item : contact.items) {
        const std::string_view name = keyOfType(item.type);
        key(out, name.empty() ? "item." + std::to_string(item.type) : std::string(name),
            text_codec::toUtf8(item.value));
    }
}

}  // namespace

std::string ScenarioWriter::value(const std::string& bytes) {
    bool quote = bytes.empty() || bytes.front() == '"' || bytes.front() == ' ' ||
                 bytes.back() == ' ' || bytes.front() == '\t' || bytes.back() == '\t';
    for (const char c : bytes) {
        quote = quote || (c >= 0 && c < 0x20) || c == 0x7F;
    }
    if (!quote) {
        return bytes;
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : bytes) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if ((c >= 0 && c < 0x20) || c == 0x7F) {
                    out += "\\x";
                    out += kDigits[(c >> 4) & 0xF];
                    out += kDigits[c & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string ScenarioWriter::write(const Scenario& scenario, const std::string& comment) {
    std::ostringstream out;
    if (!comment.empty()) {
        std::istringstream lines(comment);
        for (std::string line; std::getline(lines, line);) {
            out << "# " << line << '\n';
        }
        out << '\n';
    }
    const PhoneInfo& phone = scenario.phone;
    out << "[phone]\n";
    key(out, "manufacturer", phone.manufacturer);
    key(out, "model", phone.model);
    key(out, "revision", phone.revision);
    key(out, "imei", phone.imei);
    key(out, "bands", joined(phone.bands));
    key(out, "charsets", joined(phone.charsets));
    if (!phone.charset.empty()) {
        key(out, "charset", phone.charset);
    }
    key(out, "mode", std::to_string(phone.mode));
    key(out, "extended", phone.extended ? "yes" : "no");
    if (!phone.commandList.empty()) {
        key(out, "commands", joined(phone.commandList));
    }
    if (!phone.modeCommand) {
        key(out, "mode-command", "no");
    }
    if (!phone.sim.empty()) {
        key(out, "sim", phone.sim);
    }
    if (phone.plainIdentification) {
        key(out, "identification", "plain");
    }

    writeBehaviour(out, scenario.behaviour);

    const GroupTable& groups = scenario.groups;
    if (groups != GroupTable{}) {
        out << "\n[groups]\n";
        key(out, "range", std::to_string(groups.first) + "-" + std::to_string(groups.last));
        for (const auto& [number, name] : groups.names) {
            key(out, std::to_string(number), text_codec::toUtf8(name));
        }
    }
    for (const Storage& storage : scenario.storages) {
        out << "\n[storage " << storage.name << "]\n";
        key(out, "range", std::to_string(storage.first) + "-" + std::to_string(storage.last));
        key(out, "capacity", std::to_string(storage.capacity));
        key(out, "number-length", std::to_string(storage.numberLength));
        key(out, "text-length", std::to_string(storage.textLength));
    }
    for (const Storage& storage : scenario.storages) {
        for (const auto& entry : storage.contacts) {
            writeContact(out, storage.name, entry.second);
        }
    }
    return out.str();
}

}  // namespace phonesim
