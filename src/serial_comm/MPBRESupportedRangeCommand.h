#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "serial_comm/CommandResponseSink.h"
#include "serial_comm/IndexRange.h"

namespace serial_comm {

// The index range of the extended phonebook: AT+MPBRE=?, answered with a line such as
// "+MPBRE: (1-1000),40,30".
class MPBRESupportedRangeCommand {
public:
    // Only the first value of the first "+MPBRE" line counts: its first list item, without
    // parentheses, split as splitIndexRange() does, and the range is found. A first value that
    // holds no item at all gives no range, and the values after it are ignored all the same.
    class MPBRESupportedRangeCommandImpl final : public CommandResponseSink {
    public:
        void onValue(const std::string& value) override;

        bool found() const { return found_; }
        const IndexRange& range() const { return range_; }
        std::int32_t first() const { return range_.first; }
        std::int32_t last() const { return range_.last; }

    private:
        bool seenValue_ = false;
        bool found_ = false;
        IndexRange range_;
    };

    static constexpr std::string_view kName = "+MPBRE";

    static std::string testCommand();  // AT+MPBRE=?

    // parseResponse(impl(), answer, kName).
    void parse(std::string_view answer);

    MPBRESupportedRangeCommandImpl& impl() { return impl_; }
    bool succeeded() const { return impl_.succeeded(); }
    bool found() const { return impl_.found(); }
    const IndexRange& range() const { return impl_.range(); }

private:
    MPBRESupportedRangeCommandImpl impl_;
};

}  // namespace serial_comm
