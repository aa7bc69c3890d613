#pragma once

#include <array>

// The wizard's pages in their fixed order. The values are the ids by which pages redirect to
// each other ("go to the device list page").
enum class WizardPageId : int {
    Welcome = 119,
    DeviceList = 105,
    ContactsSource = 102,
    OutputPath = 108,
    Exporting = 107,
    Completion = 120,
};

inline constexpr std::array<WizardPageId, 6> kWizardPageOrder = {
    WizardPageId::Welcome,    WizardPageId::DeviceList, WizardPageId::ContactsSource,
    WizardPageId::OutputPath, WizardPageId::Exporting,  WizardPageId::Completion,
};
