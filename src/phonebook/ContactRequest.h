#pragma once

#include <string>
#include <string_view>

class IContactBuilder;

// A phonebook read command: composes the command line for a range of indexes and turns the
// phone's answer into contacts on a builder. The export task does the talking in between.
class ContactRequest {
public:
    virtual ~ContactRequest() = default;

    // The command name that prefixes the answer lines, e.g. "+CPBR".
    virtual std::string responseName() const = 0;
    // Feeds the contacts of one whole answer (echo, result line and all) to the builder. Never
    // fails on its own; exceptions thrown by the builder's sinks pass through.
    virtual void parse(const std::string& answer, IContactBuilder& builder) const = 0;

    // The line that reads the indexes of rangeText ("first,last"), e.g. AT+CPBR=1,10.
    std::string makeReadCommand(std::string_view rangeText) const;
};
