#pragma once

#include <cstdint>
#include <string>

#include "phonebook/PhoneTextDecoders.h"
#include "serial_comm/ParseResponseSink.h"

class IContactBuilder;

// Turns the lines of one AT+CPBR answer (+CPBR: index,number,type,text) into contacts, one per
// line. The number is stored once its type is known: type 128 marks an e-mail address (kind
// "other"), any other type a mobile phone number. The whole text becomes the given name. Names
// and numbers are read with PhoneTextDecoders::decodeName and decodeNumber, which mend the
// habits of the maker's phones or of other makers' phones.
class CPBRStateMachine final : public serial_comm::ParseResponseSink {
public:
    CPBRStateMachine(IContactBuilder& builder, const std::u16string& charsetName,
                     PhoneMaker maker = PhoneMaker::Own);

    void beginLine(const std::string& prefix) override;
    void onValue(const std::string& value) override;
    // Finishes the line's contact. A line that carried no value at all started none, so it
    // ends none either: ending it would hand the previous contact on a second time.
    void endLine() override;
    void onResult(bool failed) override;

private:
    std::int32_t valueIndex_ = 0;
    std::u16string number_;
    IContactBuilder* builder_;
    PhoneTextDecoders decoders_;
    bool lineBegunContact_ = false;
};
