#include "cli/ProbeReport.h"

#include "charsets/ShownText.h"
#include "cli/ExportTexts.h"
#include "common/StorageKind.h"

namespace {

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : ", ") + shownText(part);
    }
    return text.empty() ? "none" : text;
}

}  // namespace

std::string ProbeReport::supportText(DeviceState state) {
    switch (state) {
        case DeviceState::ExtendedPhonebook:
            return "extended phonebook (level 5)";
        case DeviceState::StandardPhonebook:
            return "standard phonebook (level 4)";
        default:
            return "not supported (level 3)";
    }
}

std::string ProbeReport::storagesText(const std::vector<StorageKind>& storages) {
    std::vector<std::string> names;
    for (const StorageKind kind : storages) {
        std::string name = ExportTexts::storageName(kind);
        if (kind == StorageKind::Memory) {
            name += " (ME)";
        } else if (kind == StorageKind::Sim) {
            name += " (SM)";
        }
        names.push_back(name);
    }
    return joined(names);
}

std::string ProbeReport::text() const {
    std::string text = "Port:          " + shownText(port) + "\n";
    text += "Model:         " + (model.empty() ? std::string("unknown") : shownText(model)) + "\n";
    text += "IMEI:          " + (imei.empty() ? std::string("unknown") : shownText(imei)) + "\n";
    text += "Support:       " + supportText(state) + "\n";
    if (queried) {
        text += "Charsets:      " + joined(charsets) + "\n";
        text += "Storages:      " + storagesText(storages) + "\n";
    }
    return text;
}
