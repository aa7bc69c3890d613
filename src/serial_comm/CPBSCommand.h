#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "charsets/PhoneMaker.h"
#include "serial_comm/CommandResponseSink.h"

namespace serial_comm {

class Modem;

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
    // AT+CPBS="<name>" with the name in the UCS2 form ("0053004D" for SM).
    static std::string setCommandInHex(std::string_view storageName);

    // parseResponse(impl(), answer, kName).
    void parse(std::string_view answer);

    CPBSCommandImpl& impl() { return impl_; }
    bool succeeded() const { return impl_.succeeded(); }
    const std::vector<std::string>& items() const { return impl_.items(); }
    // The storage names of a test-form answer. A phone of another maker whose charset is UCS2
    // may list them in the UCS2 form ("004D0045" for ME): a list whose every name is whole
    // units of printable ASCII is read as the names it spells. The maker's phones: items().
    std::vector<std::string> storageNames(PhoneMaker maker) const;

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

// Selects a storage with AT+CPBS="<name>". A phone of another maker that answers without OK,
// for another reason than a SIM waiting for its PIN, is sent the name once more in the UCS2
// form: while their charset is UCS2, some phones read every string they are sent that way.
// answer receives the answer to the last command sent; returns its bytes received (0: the
// phone said nothing). SerialPortException passes through.
std::uint32_t selectStorage(Modem& modem, std::string_view storageName, PhoneMaker maker,
                            std::string& answer);

}  // namespace serial_comm
