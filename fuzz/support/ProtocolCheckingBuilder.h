#pragma once

#include <cstdint>
#include <string>

#include "phonebook/IContactBuilder.h"

namespace fuzz_support {

// Sits between a phonebook reader and the real builder and aborts the run (fuzz_support::fail)
// when the reader breaks the builder's protocol:
//   - a call other than beginContact while no contact is open (none begun yet, or the last one
//     already handed on): it would change a contact the sinks have seen, or hand one on twice;
//   - beginContact while a contact is open: that contact would be dropped unseen;
//   - a value outside a field, a pop without a push, a contact handed on inside a field;
//   - an index given inside a field, or twice for one contact.
// A reader may leave its last contact open at the end of an answer cut off before its result.
class ProtocolCheckingBuilder final : public IContactBuilder {
public:
    explicit ProtocolCheckingBuilder(IContactBuilder& next) : next_(&next) {}

    void beginContact() override;
    void setIndex(std::int64_t index) override;
    void addEntry() override;
    void push(std::int32_t value) override;
    void setValue(const std::u16string& text) override;
    void pop() override;
    void endContact() override;

    // Allows the next beginContact to drop the open contact: an answer cut off before its result
    // line leaves its last contact unfinished, and the next answer starts afresh.
    void abandonOpenContact() {
        open_ = false;
        depth_ = 0;
    }

    int contactsHandedOn() const { return ends_; }
    bool contactOpen() const { return open_; }

private:
    void requireOpen(const char* call) const;

    IContactBuilder* next_;
    bool open_ = false;
    int depth_ = 0;
    int ends_ = 0;
    bool indexed_ = false;
};

}  // namespace fuzz_support
