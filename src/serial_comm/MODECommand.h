#pragma once

#include <string>
#include <string_view>

#include "serial_comm/CommandResponseSink.h"

namespace serial_comm {

// The mode of the phone's command interpreter: AT+MODE? asks it, AT+MODE=<n> switches it.
class MODECommand {
public:
    // Reads the "+MODE" line: the mode value as received (nothing unquoted), the last value of
    // the last such line.
    class MODECommandImpl final : public CommandResponseSink {
    public:
        void beginLine(const std::string& prefix) override;
        void onValue(const std::string& value) override;

        const std::string& mode() const { return mode_; }

        // Whether the last "+MODE" line carried a value; false for an answer without one (a
        // bare "OK", for instance), whose mode is then unknown.
        bool hasMode() const { return hasMode_; }

    private:
        std::string mode_;
        bool hasMode_ = false;
    };

    static constexpr std::string_view kName = "+MODE";

    static std::string readCommand();                      // AT+MODE?
    static std::string setCommand(std::string_view mode);  // AT+MODE=<mode>, bare

    // parseResponse(impl(), answer, kName).
    void parse(std::string_view answer);

    MODECommandImpl& impl() { return impl_; }
    bool succeeded() const { return impl_.succeeded(); }
    const std::string& mode() const { return impl_.mode(); }
    bool hasMode() const { return impl_.hasMode(); }

private:
    MODECommandImpl impl_;
};

}  // namespace serial_comm
