#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CsvCell.h"
#include "SoakPhone.h"

namespace soak {

// The CSV an export should write, worked out from the expected contacts and the layouts' rules
// by the soak itself (not by the program's writers).
class ExpectedCsv {
public:
    ExpectedCsv(OutputFormat layout, std::int32_t outputCharset)
        : layout_(layout), outputCharset_(outputCharset) {}

    test_support::CsvRow header() const;
    test_support::CsvRow row(const ExpectedContact& contact) const;

    // The bytes of the file's byte-order mark, and of one row as written (its line end included).
    std::size_t markSize() const;
    std::size_t size(const test_support::CsvRow& row) const;

private:
    std::u16string asWritten(const std::u16string& text) const;

    OutputFormat layout_;
    std::int32_t outputCharset_;
};

}  // namespace soak
