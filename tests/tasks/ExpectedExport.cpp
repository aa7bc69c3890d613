#include "ExpectedExport.h"

#include <stdexcept>
#include <utility>

#include "TempDir.h"
#include "charsets/TextCodec.h"
#include "export/CSVExportManager.h"
#include "export/ContactField.h"
#include "phonesim/ScenarioParser.h"

namespace export_test {

namespace {

Contact standardContact(const phonesim::Contact& entry) {
    Contact contact;
    contact.addEntry();
    const phonesim::Item* item = entry.standardItem();
    if (item != nullptr && phonesim::classOfType(item->type) == phonesim::ItemClass::Email) {
        contact.addEmail(contact_kind::OtherEmail, item->value);
    } else {
        contact.addPhone(contact_kind::MobilePhone, item != nullptr ? item->value : u"");
    }
    contact.setText(ContactField::GivenName, entry.displayName());
    return contact;
}

void addItem(Contact& contact, const phonesim::Item& item, bool sim) {
    switch (phonesim::classOfType(item.type)) {
        case phonesim::ItemClass::Phone:
            contact.addEntry();
            contact.addPhone(sim ? contact_kind::MobilePhone : item.type, item.value);
            break;
        case phonesim::ItemClass::Email:
            contact.addEntry();
            contact.addEmail(item.type, item.value);
            break;
        case phonesim::ItemClass::Address:
            contact.addAddress(item.type, item.value);
            break;
        case phonesim::ItemClass::Website:
            contact.addWebsite(item.value);
            break;
        case phonesim::ItemClass::Unknown:
            break;
    }
}

// The fields every line of an index carries, which the reader takes from its first line.
void addCommonFields(Contact& contact, const phonesim::Contact& entry,
                     const phonesim::GroupTable& groups) {
    contact.setText(ContactField::GivenName, entry.givenName);
    contact.setText(ContactField::FamilyName, entry.familyName);
    contact.setText(ContactField::AdditionalName, entry.additionalName);
    contact.setText(ContactField::Birthday, text_codec::fromUtf8(entry.birthday));
    if (entry.group) {
        const auto name = groups.names.find(*entry.group);
        if (name != groups.names.end())
            contact.setText(ContactField::Group, name->second);
    }
    if (entry.hasPostalAddress()) {
        std::u16string address;
        for (std::size_t part = 0; part < entry.postal.size(); ++part) {
            if (part > 0)
                address += kAddressPartSeparator;
            address += entry.postal[part];
        }
        contact.addAddress(contact_kind::OtherAddress, address);
    }
}

Contact extendedContact(const phonesim::Contact& entry, const phonesim::GroupTable& groups,
                        bool sim) {
    Contact contact;
    if (entry.items.empty()) {
        addCommonFields(contact, entry, groups);
        return contact;
    }
    // The first line carries the first item before the fields of the whole contact.
    bool first = true;
    for (const phonesim::Item& item : entry.items) {
        addItem(contact, item, sim);
        if (first)
            addCommonFields(contact, entry, groups);
        first = false;
    }
    return contact;
}

}  // namespace

std::vector<Contact> expectedContacts(const phonesim::Scenario& scenario, std::string_view storage,
                                      bool extended, int first, int last) {
    std::vector<Contact> contacts;
    const phonesim::Storage* found = scenario.storage(storage);
    if (found == nullptr)
        return contacts;
    for (const auto& [index, entry] : found->contacts) {
        if (index < first || index > last)
            continue;
        contacts.push_back(extended ? extendedContact(entry, scenario.groups, storage == "SM")
                                    : standardContact(entry));
    }
    return contacts;
}

std::string expectedFile(const std::vector<Contact>& contacts, std::int32_t format,
                         std::int32_t outputCharset) {
    test_support::TempDir dir;
    const auto path = dir.file("expected.csv");
    {
        CSVExportManager manager(format, text_codec::fromUtf8(path.string()), outputCharset);
        for (const Contact& contact : contacts)
            manager.writeContact(contact);
    }
    return test_support::readFileBytes(path);
}

std::int32_t entriesOf(const std::vector<Contact>& contacts) {
    std::int32_t entries = 0;
    for (const Contact& contact : contacts)
        entries += contact.entryCount();
    return entries;
}

std::vector<Contact> joined(std::vector<Contact> contacts, const std::vector<Contact>& more) {
    contacts.insert(contacts.end(), more.begin(), more.end());
    return contacts;
}

phonesim::Scenario scenarioFrom(std::string_view text) {
    phonesim::ParsedScenario parsed = phonesim::ScenarioParser::parse(text, "test");
    if (!parsed)
        throw std::invalid_argument(parsed.error);
    return std::move(*parsed.scenario);
}

}  // namespace export_test
