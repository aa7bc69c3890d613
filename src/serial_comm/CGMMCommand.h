#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "charsets/IMbsToUcsConvertImpl.h"
#include "serial_comm/CommandResponseSink.h"

namespace serial_comm {

// The phone's model: AT+CGMM, answered with a list of quoted items (the bands, then
// "MODEL=<name>").
class CGMMCommand {
public:
    // Reads the "+CGMM" line. In each value the first item that begins with "MODEL=" gives the
    // model (the text after "MODEL=", read as ASCII); a bare "MODEL=" leaves it as it was. Each
    // "+CGMM" line starts with an empty model.
    class CGMMCommandImpl final : public CommandResponseSink {
    public:
        CGMMCommandImpl();

        void beginLine(const std::string& prefix) override;
        void onValue(const std::string& value) override;

        const std::u16string& model() const { return model_; }

    private:
        std::unique_ptr<IMbsToUcsConvertImpl> ascii_;
        std::u16string model_;
    };

    static constexpr std::string_view kName = "+CGMM";

    static std::string actionCommand();  // AT+CGMM

    // parseResponse(impl(), answer, kName).
    void parse(std::string_view answer);

    CGMMCommandImpl& impl() { return impl_; }
    bool succeeded() const { return impl_.succeeded(); }
    const std::u16string& model() const { return impl_.model(); }

private:
    CGMMCommandImpl impl_;
};

}  // namespace serial_comm
