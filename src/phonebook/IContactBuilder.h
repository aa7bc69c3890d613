#pragma once

#include <cstdint>
#include <string>

// Assembles contacts from the calls of a phonebook reader:
//   one contact:          beginContact, setIndex (when the phone sent one), any number of
//                         addEntry and fields, endContact
//   single-valued field:  push(field code), setValue(text), pop
//   multi-valued field:   push(field code), push(kind), setValue(text), pop, pop
// Field codes are those of ContactField; other codes are ignored.
class IContactBuilder {
public:
    virtual ~IContactBuilder() = default;

    // Starts a new contact (the previous one is destroyed) and returns to the top level.
    virtual void beginContact() = 0;
    // The phonebook index of the current contact's first entry.
    virtual void setIndex(std::int64_t index) = 0;
    // Counts one phonebook entry merged into the current contact.
    virtual void addEntry() = 0;
    // Descends one level: the first level names the field code, the second the kind.
    virtual void push(std::int32_t value) = 0;
    // Gives the text of the field named by the levels pushed so far.
    virtual void setValue(const std::u16string& text) = 0;
    virtual void pop() = 0;
    // Hands the current contact to the sinks; it stays current until the next beginContact.
    virtual void endContact() = 0;
};
