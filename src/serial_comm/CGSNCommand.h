#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "charsets/IMbsToUcsConvertImpl.h"
#include "serial_comm/CommandResponseSink.h"

namespace serial_comm {

// The phone's serial number (its IMEI): AT+CGSN.
class CGSNCommand {
public:
    // Reads the "+CGSN" lines: every value, without enclosing angle brackets and read as ASCII,
    // replaces the serial number, so the last value of the answer wins. Quotes are kept.
    class CGSNCommandImpl final : public CommandResponseSink {
    public:
        CGSNCommandImpl();

        void onValue(const std::string& value) override;

        const std::u16string& serialNumber() const { return serialNumber_; }

    private:
        std::unique_ptr<IMbsToUcsConvertImpl> ascii_;
        std::u16string serialNumber_;
    };

    static constexpr std::string_view kName = "+CGSN";

    static std::string actionCommand();  // AT+CGSN

    // parseResponse(impl(), answer, kName).
    void parse(std::string_view answer);

    CGSNCommandImpl& impl() { return impl_; }
    bool succeeded() const { return impl_.succeeded(); }
    const std::u16string& serialNumber() const { return impl_.serialNumber(); }

private:
    CGSNCommandImpl impl_;
};

}  // namespace serial_comm
