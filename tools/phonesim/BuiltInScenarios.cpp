#include "phonesim/BuiltInScenarios.h"

#include <stdexcept>

#include "phonesim/BuiltInScenarioData.h"
#include "phonesim/ScenarioParser.h"

namespace phonesim {

std::vector<std::string> BuiltInScenarios::names() {
    std::vector<std::string> result;
    for (const builtin_data::Entry& entry : builtin_data::entries()) {
        result.emplace_back(entry.name);
    }
    return result;
}

std::string_view BuiltInScenarios::text(std::string_view name) {
    for (const builtin_data::Entry& entry : builtin_data::entries()) {
        if (entry.name == name) {
            return entry.text;
        }
    }
    return {};
}

Scenario BuiltInScenarios::load(std::string_view name) {
    const std::string_view content = text(name);
    if (content.empty()) {
        throw std::invalid_argument("no built-in scenario is called \"" + std::string(name) + "\"");
    }
    ParsedScenario parsed = ScenarioParser::parse(content, std::string(name) + ".scn");
    if (!parsed) {
        throw std::invalid_argument(parsed.error);
    }
    return std::move(*parsed.scenario);
}

}  // namespace phonesim
