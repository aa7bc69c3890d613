#include "cli/AnyPortFilter.h"

bool AnyPortFilter::accept(const DEVICE_INFO_EX& /*device*/) const {
    return true;
}
