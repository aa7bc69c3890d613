#include "ui/DemoPhone.h"

#include "phonesim/BuiltInScenarios.h"

DemoPhone::DemoPhone() : phone_(phonesim::BuiltInScenarios::demo()) {
    tree_.addModemPhone(phone_.portPath(),
                        phonesim::SimulatedDeviceTree::makersPhone("DEMO0000000001"));
}

DeviceRoots DemoPhone::roots() const {
    DeviceRoots roots;
    roots.sysfs = tree_.sysfsRoot();
    roots.dev = tree_.devRoot();
    return roots;
}
