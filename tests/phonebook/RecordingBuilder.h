#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "charsets/TextCodec.h"
#include "phonebook/IContactBuilder.h"

namespace phonebook_test {

// A builder that writes every call down ("begin", "entry", "push:<n>", "value:<utf-8 text>",
// "pop", "end"; the indexes given apart, in indexes), checks that the reader keeps the builder's
// protocol, and passes each call on to another builder when one is given. Protocol faults are
// written down in violations:
//   - any call but beginContact while no contact is open (none begun, or the last one already
//     handed on): it would change a contact the sinks have already seen, or none at all;
//   - beginContact while a contact is open: that contact would be dropped unseen;
//   - pushes and pops that do not balance within a contact.
class RecordingBuilder : public IContactBuilder {
public:
    explicit RecordingBuilder(IContactBuilder* next = nullptr, bool keepCalls = true)
        : next_(next), keepCalls_(keepCalls) {}

    void beginContact() override {
        if (open_)
            violations.push_back("begin while a contact is open");
        open_ = true;
        depth_ = 0;
        ++begins;
        record("begin");
        if (next_)
            next_->beginContact();
    }
    void setIndex(std::int64_t index) override {
        requireOpen("index");
        if (depth_ != 0)
            violations.push_back("index inside a field");
        indexes.push_back(index);
        if (next_)
            next_->setIndex(index);
    }
    void addEntry() override {
        requireOpen("entry");
        record("entry");
        if (next_)
            next_->addEntry();
    }
    void push(std::int32_t value) override {
        requireOpen("push");
        ++depth_;
        if (keepCalls_)
            calls.push_back("push:" + std::to_string(value));
        if (next_)
            next_->push(value);
    }
    void setValue(const std::u16string& text) override {
        requireOpen("value");
        if (depth_ == 0)
            violations.push_back("value outside a field");
        if (keepCalls_)
            calls.push_back("value:" + text_codec::toUtf8(text));
        if (next_)
            next_->setValue(text);
    }
    void pop() override {
        requireOpen("pop");
        if (depth_ == 0)
            violations.push_back("pop without push");
        else
            --depth_;
        record("pop");
        if (next_)
            next_->pop();
    }
    void endContact() override {
        requireOpen("end");
        if (depth_ != 0)
            violations.push_back("end inside a field");
        open_ = false;
        ++ends;
        record("end");
        if (next_)
            next_->endContact();
    }

    // The number of the contact being built or last handed on (1 for the first).
    int currentContact() const { return begins; }
    bool contactOpen() const { return open_; }

    std::vector<std::string> calls;
    std::vector<std::string> violations;
    std::vector<std::int64_t> indexes;
    int begins = 0;
    int ends = 0;

private:
    void requireOpen(const char* call) {
        if (!open_)
            violations.push_back(std::string(call) + " without an open contact");
    }
    void record(const char* call) {
        if (keepCalls_)
            calls.push_back(std::move(call));
    }

    IContactBuilder* next_;
    bool keepCalls_;
    bool open_ = false;
    int depth_ = 0;
};

}  // namespace phonebook_test
