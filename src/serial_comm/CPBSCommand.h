#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "serial_comm/CommandResponseSink.h"

namespace serial_comm {

// The phonebook storages: AT+CPBS=? lists those offered, AT+CPBS? tells the selected one and
// its fill, AT+CPBS="<name>" selects one.
class CPBSCommand {
public:
    // Reads the "+CPBS" line into a list of items, each unquoted, as bytes. For the test form
    // the items are the storage names offered ("ME", "SM", ...); for the read form they are the
    // storage name, the used entries and the total entries. Each "+CPBS" line starts a new list.
    class CPBSCommandImpl final : public CommandResponseSink {
    public:
        void beginLine(const std::string& prefix) override;
        void onValue(const std::string& value) override;

        const std::vector<std::string>& items() const { return items_; }

    private:
        std::vector<std::string> items_;
    };

    static constexpr std::string_view kName = "+CPBS";

    static std::string testCommand();                             // AT+CPBS=?
    static std::string readCommand();                             // AT+CPBS?
    static std::string setCommand(std::string_view storageName);  // AT+CPBS="<name>"

    // parseResponse(impl(), answer, kName).
    void parse(std::string_view answer);

    CPBSCommandImpl& impl() { return impl_; }
    bool succeeded() const { return impl_.succeeded(); }
    const std::vector<std::string>& items() const { return impl_.items(); }

private:
    CPBSCommandImpl impl_;
};

// The selected storage and its fill, as the read form AT+CPBS? reports them.
struct StorageFill {
    std::string name;
    std::int32_t used = 0;
    std::int32_t total = 0;
};

// The fill from the items of a read-form answer: name, used and total from the first three
// items (the numbers read as atoi32 does); with fewer than three items an empty name and 0, 0.
StorageFill storageFill(const std::vector<std::string>& items);

}  // namespace serial_comm
