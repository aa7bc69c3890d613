#include "ui/DemoPhone.h"

#include "phonesim/BuiltInScenarios.h"

DemoPhone::DemoPhone()
    : phone_(phonesim::BuiltInScenarios::demo()),
      otherPhone_(phonesim::BuiltInScenarios::load("other-maker")) {
    // The maker's phone first, so that it comes first in the list.
    usbDevice_ = tree_.addModemPhone(phone_.portPath(),
                                     phonesim::SimulatedDeviceTree::makersPhone("DEMO0000000001"),
                                     &devicePath_);
    tree_.addOtherMakersPhone(otherPhone_.portPath(),
                              phonesim::SimulatedDeviceTree::otherMakersPhone(), &otherDevicePath_);
}

DeviceRoots DemoPhone::roots() const {
    DeviceRoots roots;
    roots.sysfs = tree_.sysfsRoot();
    roots.dev = tree_.devRoot();
    return roots;
}

void DemoPhone::unplug() {
    if (!plugged_) {
        return;
    }
    plugged_ = false;
    phone_.unplug();
    tree_.removeUsbDevice(usbDevice_);
}
