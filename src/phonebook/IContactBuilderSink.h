#pragma once

#include "export/IContact.h"

// Receives each finished contact. The contact belongs to the builder and is valid only during
// the call: copy what is needed. Exceptions thrown here reach the builder's caller unchanged.
class IContactBuilderSink {
public:
    virtual void onContact(const IContact& contact) = 0;
    virtual ~IContactBuilderSink() = default;
};
