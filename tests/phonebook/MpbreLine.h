#pragma once

#include <array>
#include <string>
#include <string_view>

namespace phonebook_test {

// One +MPBRE answer line as phones send it: 27 values, commas without spaces, the values the
// reader ignores filled with plausible numbers. Values are given as they travel, quotes
// included; cut keeps only the first values (a line cut short).
struct MpbreLine {
    std::string index = "1";
    std::string number = "\"\"";
    std::string name = "\"\"";
    std::string type = "1";
    std::string group = "";
    std::string nameLength = "";
    std::array<std::string, 6> address = {"\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\""};
    std::string additionalName = "\"\"";
    std::string birthday = "\"\"";
    std::size_t cut = 27;

    std::string text() const {
        const std::array<std::string_view, 27> values = {
            index,      "0",        number,     "129",      name,       type,
            "0",        "0",        "0",        "0",        group,      "0",
            "0",        nameLength, "0",        "0",        "0",        address[0],
            address[1], address[2], address[3], address[4], address[5], additionalName,
            birthday,   "0",        "1"};
        std::string line = "+MPBRE: ";
        line.reserve(160);
        for (std::size_t i = 0; i < values.size() && i < cut; ++i) {
            if (i > 0)
                line += ',';
            line += values[i];
        }
        return line + "\r\n";
    }
};

}  // namespace phonebook_test
