#pragma once

#include <string>

// Turns byte text from the phone (plain or hexadecimal) into wide text. Never fails.
class IMbsToUcsConvertImpl {
public:
    virtual std::u16string convert(const std::string& text) const = 0;
    virtual ~IMbsToUcsConvertImpl() = default;
};
