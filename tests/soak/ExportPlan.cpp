#include "ExportPlan.h"

#include <algorithm>

#include "charsets/TextCodec.h"

namespace soak {

std::vector<PlannedCommand> planExport(const SoakPhone& phone) {
    using Role = PlannedCommand::Role;
    std::vector<PlannedCommand> plan;
    plan.push_back({"AT+CSCS=\"" + text_codec::toUtf8(phone.charset) + "\"", Role::SetCharset});
    const std::string read = phone.extended ? "AT+MPBRE" : "AT+CPBR";
    for (std::size_t i = 0; i < phone.exported.size(); ++i) {
        const SoakStorage& storage = phone.exported[i];
        const int position = static_cast<int>(i);
        plan.push_back({"AT+CPBS=\"" + storage.name + "\"", Role::Select, position});
        plan.push_back({"AT+CPBS?", Role::Fill, position});
        if (phone.extended) {
            const phonesim::GroupTable& groups = phone.scenario.groups;
            plan.push_back({"AT+MPGR=?", Role::GroupRange, position});
            plan.push_back(
                {"AT+MPGR=" + std::to_string(groups.first) + "," + std::to_string(groups.last),
                 Role::GroupRead, position});
        }
        plan.push_back({read + "=?", Role::IndexRange, position});
        for (int first = storage.first; first <= storage.last; first += 10) {
            const int last = std::min(storage.last, first + 9);
            plan.push_back({read + "=" + std::to_string(first) + "," + std::to_string(last),
                            Role::Block, position, first, last});
        }
    }
    return plan;
}

}  // namespace soak
