#include "phonebook/MPBREStateMachine.h"

#include "charsets/CodePages.h"
#include "charsets/Utf16.h"
#include "export/ContactField.h"
#include "phonebook/EntryIndex.h"
#include "phonebook/IContactBuilder.h"
#include "serial_comm/AtValues.h"

namespace {

// Positions of the values the reader uses; the others are ignored.
enum MpbreValue : std::int32_t {
    kIndex = 0,
    kNumber = 2,
    kName = 4,
    kEntryType = 5,
    kGroup = 10,
    kGivenNameLength = 13,
    kFirstAddressPart = 17,
    kLastAddressPart = 22,
    kAdditionalName = 23,
    kBirthday = 24,
    kIgnored = 25,  // this value and every later one
};

// The field code for an entry type that names no field; the builder ignores it.
constexpr std::int32_t kNoField = 255;

std::int32_t fieldOfEntryType(std::int32_t type) {
    if ((type >= 0 && type <= 5) || (type >= 8 && type <= 11)) {
        return ContactField::Phone;
    }
    if (type == 6 || type == 7 || (type >= 12 && type <= 14)) {
        return ContactField::Email;
    }
    if (type >= 15 && type <= 17) {
        return ContactField::Address;
    }
    if (type == 18 || type == 19) {
        return ContactField::Website;
    }
    return kNoField;
}

}  // namespace

MPBREStateMachine::MPBREStateMachine(IContactBuilder& builder, const std::u16string& charsetName,
                                     const GroupTable* groups, bool isSim)
    : builder_(&builder), decoders_(charsetName), groups_(groups), isSim_(isSim) {}

void MPBREStateMachine::beginLine(const std::string&) {
    valueIndex_ = 0;
    number_.clear();
    lineInContact_ = false;
}

void MPBREStateMachine::onValue(const std::string& value) {
    if (valueIndex_ == kIndex) {
        onIndex(value);
    } else if (lineInContact_) {
        // Values that describe the contact rather than the line's entry are taken from the
        // first line of an index only.
        const bool newOnly =
            valueIndex_ == kName || valueIndex_ == kGroup || valueIndex_ >= kGivenNameLength;
        if (!newOnly || newContact_) {
            switch (valueIndex_) {
                case kNumber:
                    onNumber(value);
                    break;
                case kName:
                    name_ = decoders_.decodeText(value);
                    break;
                case kEntryType:
                    onEntryType(value);
                    break;
                case kGroup:
                    onGroup(value);
                    break;
                case kGivenNameLength:
                    onGivenNameLength(value);
                    break;
                case kAdditionalName:
                    setSingle(ContactField::AdditionalName, decoders_.decodeText(value));
                    break;
                case kBirthday:
                    setSingle(ContactField::Birthday, decoders_.decodeAscii(value));
                    break;
                default:
                    if (valueIndex_ >= kFirstAddressPart && valueIndex_ <= kLastAddressPart) {
                        onAddressPart(valueIndex_ - kFirstAddressPart, value);
                    }
                    break;
            }
        }
    }
    // Every value from kIgnored on is ignored, so the count can stop there.
    if (valueIndex_ < kIgnored) {
        ++valueIndex_;
    }
}

void MPBREStateMachine::endLine() {}

void MPBREStateMachine::onResult(bool) {
    if (!currentIndex_.empty()) {
        builder_->endContact();
        currentIndex_.clear();
    }
}

void MPBREStateMachine::onIndex(const std::string& value) {
    if (!currentIndex_.empty() && value == currentIndex_) {
        newContact_ = false;
        lineInContact_ = true;
        return;
    }
    newContact_ = true;
    if (!currentIndex_.empty()) {
        builder_->endContact();
        currentIndex_.clear();
    }
    if (value.empty()) {
        // No index, no contact to put the line's values into.
        lineInContact_ = false;
        return;
    }
    currentIndex_ = value;
    name_.clear();
    builder_->beginContact();
    if (const auto index = entryIndexOf(value)) {
        builder_->setIndex(*index);
    }
    lineInContact_ = true;
}

void MPBREStateMachine::onNumber(const std::string& value) {
    if (decoders_.codePage() == code_page::Utf16) {
        // In UCS2 a quoted number is plain digits, an unquoted one hexadecimal UTF-16.
        const bool quoted = !value.empty() && value.front() == '"';
        number_ = quoted ? decoders_.decodeAscii(value) : decoders_.decodeHex(value);
    } else {
        number_ = decoders_.decodeText(value);
    }
}

void MPBREStateMachine::onEntryType(const std::string& value) {
    const std::int32_t type = serial_comm::atoi32(value);
    const std::int32_t field = fieldOfEntryType(type);
    if (field == ContactField::Phone || field == ContactField::Email) {
        builder_->addEntry();
    }
    // The SIM knows no phone kinds: all its numbers are mobile numbers.
    const std::int32_t kind =
        isSim_ && field == ContactField::Phone ? contact_kind::MobilePhone : type;
    addMulti(field, kind, number_);
}

void MPBREStateMachine::onGroup(const std::string& value) {
    if (value.empty() || groups_ == nullptr) {
        return;
    }
    const auto found = groups_->find(serial_comm::atoi32(value));
    if (found != groups_->end()) {
        setSingle(ContactField::Group, found->second);
    }
}

void MPBREStateMachine::onGivenNameLength(const std::string& value) {
    const std::int32_t length = serial_comm::atoi32(value);
    std::size_t count = name_.size();
    if (length >= 0 && static_cast<std::size_t>(length) < count) {
        count = static_cast<std::size_t>(length);
        // Never cut a character in two: a cut inside a surrogate pair moves past the pair.
        if (count > 0 && utf16::isPairAt(name_, count - 1)) {
            ++count;
        }
    }
    setSingle(ContactField::GivenName, name_.substr(0, count));
    setSingle(ContactField::FamilyName, name_.substr(count));
}

void MPBREStateMachine::onAddressPart(std::int32_t part, const std::string& value) {
    const std::u16string text = decoders_.decodeText(value);
    if (part == 0) {
        address_ = text;
        addressPresent_ = !text.empty();
    } else {
        address_ += kAddressPartSeparator;
        address_ += text;
        addressPresent_ = addressPresent_ || !text.empty();
    }
    if (part == kLastAddressPart - kFirstAddressPart && addressPresent_) {
        addMulti(ContactField::Address, contact_kind::OtherAddress, address_);
    }
}

void MPBREStateMachine::setSingle(std::int32_t field, const std::u16string& text) {
    builder_->push(field);
    builder_->setValue(text);
    builder_->pop();
}

void MPBREStateMachine::addMulti(std::int32_t field, std::int32_t kind,
                                 const std::u16string& text) {
    builder_->push(field);
    builder_->push(kind);
    builder_->setValue(text);
    builder_->pop();
    builder_->pop();
}
