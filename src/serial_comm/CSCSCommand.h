#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "charsets/IMbsToUcsConvertImpl.h"
#include "serial_comm/CommandResponseSink.h"

namespace serial_comm {

// The phone's character sets: AT+CSCS=? lists those offered, AT+CSCS="<name>" chooses one.
class CSCSCommand {
public:
    // Reads the "+CSCS" line: a parenthesised list of quoted names, each unquoted and read as
    // ASCII, in the phone's order. Each "+CSCS" line starts a new list.
    class CSCSCommandImpl final : public CommandResponseSink {
    public:
        CSCSCommandImpl();

        void beginLine(const std::string& prefix) override;
        void onValue(const std::string& value) override;

        const std::vector<std::u16string>& charsets() const { return charsets_; }

    private:
        std::unique_ptr<IMbsToUcsConvertImpl> ascii_;
        std::vector<std::u16string> charsets_;
    };

    static constexpr std::string_view kName = "+CSCS";

    static std::string testCommand();  // AT+CSCS=?
    // AT+CSCS="<name>", the name encoded as ASCII (a character ASCII cannot hold becomes "?").
    static std::string setCommand(const std::u16string& charsetName);

    // parseResponse(impl(), answer, kName).
    void parse(std::string_view answer);

    CSCSCommandImpl& impl() { return impl_; }
    bool succeeded() const { return impl_.succeeded(); }
    const std::vector<std::u16string>& charsets() const { return impl_.charsets(); }

private:
    CSCSCommandImpl impl_;
};

}  // namespace serial_comm
