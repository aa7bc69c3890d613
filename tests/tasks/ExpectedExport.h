#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/OutputFormat.h"
#include "phonesim/Scenario.h"

namespace export_test {

// A contact that reading a storage of the simulated phone should give: where its record stands
// in the expected file of the storage, and the phonebook entries it counts.
struct ExpectedContact {
    std::string storage;
    bool extended = false;
    std::size_t position = 0;  // among all contacts of the storage, in index order
    std::int32_t entries = 0;  // phone numbers and e-mail addresses read
};

using ExpectedContacts = std::vector<ExpectedContact>;

// The contacts that reading a storage of the simulated phone should give, in index order: one
// entry each from the standard phonebook, every phone number and e-mail address from the
// extended one. Only indexes from first to last count (all of them by default).
ExpectedContacts expectedContacts(const phonesim::Scenario& scenario, std::string_view storage,
                                  bool extended, int first = 0, int last = 1 << 30);

// The bytes an export of these contacts writes, taken from the files the program wrote once for
// the scenario and that were reviewed and checked in (see tests/data/exports/README.md): the
// byte-order mark, and the header with the contacts' records when there is at least one.
// scenario names the folder of the files; throws std::runtime_error when a file is missing.
std::string expectedFile(std::string_view scenario, const ExpectedContacts& contacts,
                         OutputFormat layout, std::int32_t outputCharset);

// An export file cut into its head (the byte-order mark and, when there are contacts, the
// header) and one record per contact, each with its line end.
struct CutFile {
    std::string mark;
    std::string head;
    std::vector<std::string> records;
};

// Cuts the bytes an export wrote in the layout and output charset; throws std::runtime_error
// when they end within a record.
CutFile cutExport(const std::string& bytes, OutputFormat layout, std::int32_t outputCharset);

// The phonebook entries the contacts carry.
std::int32_t entriesOf(const ExpectedContacts& contacts);

// contacts followed by more.
ExpectedContacts joined(ExpectedContacts contacts, const ExpectedContacts& more);

// A scenario from its text; throws std::invalid_argument naming the problem.
phonesim::Scenario scenarioFrom(std::string_view text);

}  // namespace export_test
