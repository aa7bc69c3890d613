#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/Contact.h"
#include "phonesim/Scenario.h"

namespace export_test {

// The contacts that reading a storage of the simulated phone should give, in index order:
// what the standard phonebook shows of each (one entry, the first number or e-mail address,
// the display name as given name), or everything the extended phonebook carries. Only indexes
// from first to last count (all of them by default).
std::vector<Contact> expectedContacts(const phonesim::Scenario& scenario, std::string_view storage,
                                      bool extended, int first = 0, int last = 1 << 30);

// The bytes an export of these contacts writes: the byte-order mark, and the header with the
// rows when there is at least one contact.
std::string expectedFile(const std::vector<Contact>& contacts, std::int32_t format,
                         std::int32_t outputCharset);

// The phonebook entries the contacts carry.
std::int32_t entriesOf(const std::vector<Contact>& contacts);

// contacts followed by more.
std::vector<Contact> joined(std::vector<Contact> contacts, const std::vector<Contact>& more);

// A scenario from its text; throws std::invalid_argument naming the problem.
phonesim::Scenario scenarioFrom(std::string_view text);

}  // namespace export_test
