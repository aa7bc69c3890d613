#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/StorageKind.h"
#include "export/OutputFormat.h"
#include "phonesim/Scenario.h"

namespace soak {

// A contact as an export should deliver it, worked out from the scenario by the soak itself:
// the fields the layouts write, at most one phone number and one e-mail address per kind.
struct ExpectedContact {
    int index = 0;
    std::u16string givenName;
    std::u16string familyName;
    std::u16string group;
    std::map<std::int32_t, std::u16string> phones;  // by kind
    std::map<std::int32_t, std::u16string> emails;  // by kind
    std::int32_t entries = 0;                       // phonebook entries it counts
};

// One storage of the export, in export order.
struct SoakStorage {
    std::string name;  // "ME" or "SM"
    StorageKind kind = StorageKind::Unknown;
    int first = 1;  // the index range the phone reports
    int last = 1;
    std::vector<ExpectedContact> contacts;  // in index order
};

// A phone drawn at random for one export, and what its export should give: a standard or an
// extended phonebook, offering UCS2, UTF8 or ASCII, with a few dozen contacts in its memory
// and its SIM (and an FD storage that is not exported), exported in the Google or the Outlook
// layout into one, the other or both storages.
struct SoakPhone {
    phonesim::Scenario scenario;
    bool extended = false;
    std::u16string charset;          // the charset the export reads in
    std::int32_t outputCharset = 0;  // the output charset code that goes with it
    OutputFormat layout = OutputFormat::GoogleCsv;
    std::vector<SoakStorage> exported;

    static SoakPhone draw(std::mt19937_64& random);

    std::vector<StorageKind> storageKinds() const;
};

}  // namespace soak
