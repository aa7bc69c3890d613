#pragma once

#include <string>
#include <vector>

#include "common/StorageKind.h"

class AppContext;

// What the contacts source page makes of the phone's answers.
class ContactsChoice {
public:
    static constexpr unsigned kMemoryBit = 1;
    static constexpr unsigned kSimBit = 2;

    // The storage kinds reported by the phone as bits (kMemoryBit, kSimBit); unknown kinds
    // are left out.
    static unsigned storageBits(const std::vector<StorageKind>& storages);
    // Chooses the character set to read the phone in from those it offers, as the phone's
    // maker is read (chooseExportCharset with AppContext::phoneMaker), and stores its name and
    // the matching output charset code in the application object (the output format is kept).
    // True when the file is written in ASCII because nothing richer was offered: the user must
    // be told.
    static bool applyCharsets(AppContext& app, const std::vector<std::u16string>& offered);
};
