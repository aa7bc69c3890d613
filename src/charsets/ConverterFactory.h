#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "charsets/IMbsToUcsConvertImpl.h"
#include "charsets/IUcsToMbsConvertImpl.h"

// Decoder for text that arrives plain (inside quotes): UCSHexConverter for code page 1200,
// otherwise the code page's bytes.
std::unique_ptr<IMbsToUcsConvertImpl> makeTextConverter(std::uint32_t codePage);

// Decoder for text that arrives as hexadecimal: UCSHexConverter for code page 1200, otherwise
// hexadecimal bytes of the code page.
std::unique_ptr<IMbsToUcsConvertImpl> makeHexTextConverter(std::uint32_t codePage);

// Encoder for a charset that can be sent to the phone (ASCII or UTF8); empty for any other name.
std::unique_ptr<IUcsToMbsConvertImpl> makeEncoder(const std::u16string& charsetName);
