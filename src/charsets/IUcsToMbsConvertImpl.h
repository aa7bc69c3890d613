#pragma once

#include <string>

// Turns wide text into bytes of some code page. Never fails.
class IUcsToMbsConvertImpl {
public:
    virtual std::string convert(const std::u16string& text) const = 0;
    virtual ~IUcsToMbsConvertImpl() = default;
};
