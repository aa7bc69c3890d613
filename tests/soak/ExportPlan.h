#pragma once

#include <string>
#include <vector>

#include "SoakPhone.h"

namespace soak {

// One command line an export sends, in order, and its part in the export.
struct PlannedCommand {
    enum class Role { SetCharset, Select, Fill, GroupRange, GroupRead, IndexRange, Block };

    std::string line;
    Role role = Role::SetCharset;
    int storage = 0;     // position in SoakPhone::exported (the first for the charset)
    int blockFirst = 0;  // for Role::Block
    int blockLast = 0;
};

// The commands an export of the phone sends when nothing goes wrong: the charset, then for every
// storage its selection, fill, group table (extended phonebook), index range and blocks of ten.
std::vector<PlannedCommand> planExport(const SoakPhone& phone);

}  // namespace soak
