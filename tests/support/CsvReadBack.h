#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CsvCell.h"

namespace test_support {

// Reads an output file back without the program's own code: checks the byte-order mark of the
// output charset code (0 UTF-16LE after FF FE, 1 UTF-8 after EF BB BF, 2 ASCII without a mark),
// decodes the rest, turns every CR LF back into the LF it was written for, and cuts the text
// into rows of cells. Cells are separated by commas; a cell that starts with a double quote
// runs to the next lone double quote ("" inside is one quote) and may hold commas and line
// ends. False, with the reason in problem, when the bytes are not such a file.
bool readCsvFile(std::string_view bytes, std::int32_t outputCharset, std::vector<CsvRow>& rows,
                 std::string& problem);

}  // namespace test_support
