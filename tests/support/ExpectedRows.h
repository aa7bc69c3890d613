#pragma once

#include <cstdint>

#include "CsvCell.h"
#include "export/IContact.h"

// The rows a contact should give in the two CSV layouts, worked out from the contact's getters
// and the layouts' rules, without the writers. Cells come as CsvReadBack reads them back:
// unescaped, with their quoting, and with the text as the output charset can hold it.
namespace test_support {

// The header rows.
CsvRow expectedGoogleHeader();
CsvRow expectedOutlookHeader();

// Google: 39 cells and the empty one after the comma that ends every row.
CsvRow expectedGoogleRow(const IContact& contact, std::int32_t outputCharset);
// Outlook: 10 cells.
CsvRow expectedOutlookRow(const IContact& contact, std::int32_t outputCharset);

}  // namespace test_support
