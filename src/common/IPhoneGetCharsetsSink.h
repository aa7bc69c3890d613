#pragma once

#include <string>
#include <vector>

// Receives the character sets a phone offers. Called on a worker thread; must return quickly
// and must not call back into the phone manager.
class IPhoneGetCharsetsSink {
public:
    // The character set names the phone offers and the program can decode, in the phone's
    // order.
    virtual void onCharsets(const std::vector<std::u16string>& charsets) = 0;
    virtual ~IPhoneGetCharsetsSink() = default;
};
