#pragma once

#include <filesystem>
#include <string>

// Opens a help page, supplied by the user interface (with Qt: QDesktopServices::openUrl on the
// file's URL with the fragment); tests supply a fake.
class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;

    // Opens the page (an existing HTML file) at the anchor (empty: at its top); false when it
    // could not be shown.
    virtual bool openHelpPage(const std::filesystem::path& page, const std::string& anchor) = 0;
};
