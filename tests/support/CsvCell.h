#pragma once

#include <string>
#include <vector>

namespace test_support {

// One cell of a CSV row: its text (quotes taken off and escapes undone) and whether it stood
// between double quotes.
struct CsvCell {
    std::u16string text;
    bool quoted = false;

    bool operator==(const CsvCell&) const = default;
};

using CsvRow = std::vector<CsvCell>;

}  // namespace test_support
