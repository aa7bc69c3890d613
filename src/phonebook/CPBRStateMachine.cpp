#include "phonebook/CPBRStateMachine.h"

#include "export/ContactField.h"
#include "phonebook/EntryIndex.h"
#include "phonebook/IContactBuilder.h"
#include "serial_comm/AtValues.h"

namespace {

enum CpbrValue : std::int32_t { kIndex = 0, kNumber = 1, kType = 2, kText = 3, kIgnored = 4 };

// The number type by which the phone marks the number value as an e-mail address.
constexpr std::int32_t kEmailNumberType = 128;

}  // namespace

CPBRStateMachine::CPBRStateMachine(IContactBuilder& builder, const std::u16string& charsetName,
                                   PhoneMaker maker)
    : builder_(&builder), decoders_(charsetName, maker) {}

void CPBRStateMachine::beginLine(const std::string&) {
    valueIndex_ = 0;
    number_.clear();
    lineBegunContact_ = false;
}

void CPBRStateMachine::onValue(const std::string& value) {
    switch (valueIndex_) {
        case kIndex:
            builder_->beginContact();
            if (const auto index = entryIndexOf(value)) {
                builder_->setIndex(*index);
            }
            builder_->addEntry();
            lineBegunContact_ = true;
            break;
        case kNumber:
            number_ = decoders_.decodeNumber(value);
            break;
        case kType: {
            const bool isEmail = serial_comm::atoi32(value) == kEmailNumberType;
            builder_->push(isEmail ? ContactField::Email : ContactField::Phone);
            builder_->push(isEmail ? contact_kind::OtherEmail : contact_kind::MobilePhone);
            builder_->setValue(number_);
            builder_->pop();
            builder_->pop();
            break;
        }
        case kText:
            builder_->push(ContactField::GivenName);
            builder_->setValue(decoders_.decodeName(value));
            builder_->pop();
            break;
        default:
            break;
    }
    // Every value from the fifth on is ignored, so the count can stop there.
    if (valueIndex_ < kIgnored) {
        ++valueIndex_;
    }
}

void CPBRStateMachine::endLine() {
    if (lineBegunContact_) {
        builder_->endContact();
    }
    lineBegunContact_ = false;
}

void CPBRStateMachine::onResult(bool) {}
