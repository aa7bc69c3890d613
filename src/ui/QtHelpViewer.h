#pragma once

#include "app/IHelpViewer.h"

// Opens help pages in the desktop's browser (QDesktopServices::openUrl on the page's file URL
// with the anchor as its fragment).
class QtHelpViewer final : public IHelpViewer {
public:
    bool openHelpPage(const std::filesystem::path& page, const std::string& anchor) override;
};
