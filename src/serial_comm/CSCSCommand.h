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
    // ASCII, in the phone's order. Each "+CSCS" line starts a new list. A phone whose charset
    // is UCS2 may list the names themselves in the UCS2 form ("0047534D" for GSM): a line whose
    // every name is whole units of printable ASCII is read that way.
    class CSCSCommandImpl final : public CommandResponseSink {
    public:
        CSCSCommandImpl();

        void beginLine(const std::string& prefix) override;
        void onValue(const std::string& value) override;
        void endLine() override;

        const std::vector<std::u16string>& charsets() const { return charsets_; }
        // Whether the last "+CSCS" line listed the names in the UCS2 form.
        bool listedInHex() const { return listedInHex_; }

    private:
        std::unique_ptr<IMbsToUcsConvertImpl> ascii_;
        std::vector<std::string> items_;  // the line's names as sent, unquoted
        std::vector<std::u16string> charsets_;
        bool listedInHex_ = false;
    };

    static constexpr std::string_view kName = "+CSCS";

    static std::string testCommand();  // AT+CSCS=?
    // AT+CSCS="<name>", the name encoded as ASCII (a character ASCII cannot hold becomes "?").
    static std::string setCommand(const std::u16string& charsetName);
    // AT+CSCS="<name>" with the name in the UCS2 form ("0055004300530032" for UCS2), for a
    // phone that reads every string it is sent that way while its charset is UCS2.
    static std::string setCommandInHex(const std::u16string& charsetName);

    // parseResponse(impl(), answer, kName).
    void parse(std::string_view answer);

    CSCSCommandImpl& impl() { return impl_; }
    bool succeeded() const { return impl_.succeeded(); }
    const std::vector<std::u16string>& charsets() const { return impl_.charsets(); }
    bool listedInHex() const { return impl_.listedInHex(); }

private:
    CSCSCommandImpl impl_;
};

}  // namespace serial_comm
