#include "pages/ContactsChoice.h"

#include "app/AppContext.h"
#include "charsets/CharsetChoice.h"

unsigned ContactsChoice::storageBits(const std::vector<StorageKind>& storages) {
    unsigned bits = 0;
    for (const StorageKind kind : storages) {
        if (kind == StorageKind::Memory) {
            bits |= kMemoryBit;
        } else if (kind == StorageKind::Sim) {
            bits |= kSimBit;
        }
    }
    return bits;
}

bool ContactsChoice::applyCharsets(AppContext& app, const std::vector<std::u16string>& offered) {
    const CharsetChoice choice = chooseExportCharset(offered, app.phoneMaker());
    const OutputFormat format = app.outputFormatAndCharset().first;
    app.setCharsetName(choice.name);
    app.setOutputFormatAndCharset(format, choice.outputCharset);
    return choice.asciiFallback;
}
