#pragma once

#include <string_view>
#include <vector>

// The texts of the shipped scenario files, compiled in from tools/phonesim/scenarios/ (the
// definitions are generated at build time).
namespace phonesim::builtin_data {

struct Entry {
    std::string_view name;  // the file name without ".scn"
    std::string_view text;
};

const std::vector<Entry>& entries();

}  // namespace phonesim::builtin_data
