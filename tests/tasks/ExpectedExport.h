#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "export/OutputFormat.h"
#include "phonesim/Scenario.h"

namespace export_test {

// A contact as reading the simulated phone should give it, in the test's own terms: its texts
// and its values with their kinds, in the order the phone sends them.
struct ExpectedContact {
    std::u16string givenName, familyName, additionalName, birthday;
    std::u16string group = u"General";
    std::vector<std::pair<std::int32_t, std::u16string>> phones, emails, addresses;
    std::vector<std::u16string> websites;
    std::int32_t entries = 0;  // phone numbers and e-mail addresses read
};

using ExpectedContacts = std::vector<ExpectedContact>;

// The contacts that reading a storage of the simulated phone should give, in index order:
// what the standard phonebook shows of each (one entry, the first number or e-mail address,
// the display name as given name), or everything the extended phonebook carries. Only indexes
// from first to last count (all of them by default).
ExpectedContacts expectedContacts(const phonesim::Scenario& scenario, std::string_view storage,
                                  bool extended, int first = 0, int last = 1 << 30);

// The bytes an export of these contacts writes: the byte-order mark, and the header with the
// rows when there is at least one contact. Built here from the layouts' rules, without the
// program's writers, so that a comparison with it checks them too.
std::string expectedFile(const ExpectedContacts& contacts, OutputFormat format,
                         std::int32_t outputCharset);

// The header line of the Google layout as a UTF-8 or ASCII file holds it.
std::string googleHeaderLine();

// The phonebook entries the contacts carry.
std::int32_t entriesOf(const ExpectedContacts& contacts);

// contacts followed by more.
ExpectedContacts joined(ExpectedContacts contacts, const ExpectedContacts& more);

// A scenario from its text; throws std::invalid_argument naming the problem.
phonesim::Scenario scenarioFrom(std::string_view text);

}  // namespace export_test
