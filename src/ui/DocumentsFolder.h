#pragma once

#include <QString>

#include <functional>

// The user's documents folder, where the output file is proposed the first time: the folder
// named by $XDG_DOCUMENTS_DIR, else the one `xdg-user-dir DOCUMENTS` prints, else ~/Documents,
// else the home folder. Only an absolute path to an existing folder counts. xdg-user-dir prints
// the home folder when no documents folder is configured; that answer is passed over, so that
// an existing ~/Documents still wins.
class DocumentsFolder {
public:
    // Where the folder can come from; the tests fill in their own.
    struct Sources {
        QString xdgDocumentsDir;              // $XDG_DOCUMENTS_DIR, may be empty
        std::function<QString()> xdgUserDir;  // what `xdg-user-dir DOCUMENTS` prints; may be null
        QString home;                         // the home folder, may be empty
    };

    // This process's environment; xdg-user-dir is run (for at most two seconds) only when it
    // is installed and the environment variable gives nothing usable.
    static Sources fromProcess();

    // The folder without a trailing "/" (except for "/" itself); empty when none is found.
    static QString find(const Sources& sources);

    static QString locate() { return find(fromProcess()); }
};
