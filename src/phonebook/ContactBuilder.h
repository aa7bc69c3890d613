#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/StorageKind.h"
#include "export/Contact.h"
#include "phonebook/IContactBuilder.h"
#include "phonebook/IContactBuilderSink.h"

// Builds Contact records and hands each finished one to its sinks, in the order they were
// added. Calls other than beginContact before the first contact are ignored.
class ContactBuilder final : public IContactBuilder {
public:
    ContactBuilder() = default;
    ~ContactBuilder() override;
    ContactBuilder(const ContactBuilder&) = delete;
    ContactBuilder& operator=(const ContactBuilder&) = delete;

    void beginContact() override;
    void setIndex(std::int64_t index) override;
    void addEntry() override;
    void push(std::int32_t value) override;
    void setValue(const std::u16string& text) override;
    void pop() override;
    // Exceptions thrown by a sink pass through unchanged; the sinks after it are not called and
    // the contact stays current.
    void endContact() override;

    // Adds a sink (not owned); a sink already added, and a null pointer, are ignored.
    void addSink(IContactBuilderSink* sink);
    // The storage that every contact begun from now on was read from.
    void setStorage(StorageKind storage) { storage_ = storage; }

private:
    // Where the next setValue goes: depth 1 names a field code, depth 2 also a kind.
    struct FieldPath {
        std::int32_t depth = 0;
        std::int32_t fieldCode = 0;
        std::int32_t kind = 0;
    };

    std::unique_ptr<Contact> contact_;
    std::vector<IContactBuilderSink*> sinks_;
    FieldPath path_;
    StorageKind storage_ = StorageKind::Unknown;
};
