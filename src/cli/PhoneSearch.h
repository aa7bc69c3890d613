#pragma once

#include <chrono>
#include <vector>

#include "cli/Console.h"
#include "cli/SignalWatcher.h"
#include "devices/DeviceInfoEx.h"
#include "devices/DeviceManager.h"
#include "devices/DeviceRoots.h"
#include "devices/IDeviceListSink.h"

// The search for the maker's phones among the devices (below DeviceRoots::fromEnvironment()):
// one enumeration with the maker's filter, which probes their modems (no other vendor's modem
// is opened), waited for on the main thread so that Ctrl-C is seen within a tenth of a second.
class PhoneSearch {
public:
    // The longest a search may take: a phone that does not answer costs its modem a few
    // seconds of silence.
    static constexpr std::chrono::seconds kTimeLimit{60};

    enum class Outcome {
        Done,        // the enumeration ended
        Incomplete,  // the time ran out; the phones found so far are known
        Unreadable,  // the devices could not be read
        Stopped,     // a stop signal came
    };

    struct Result {
        Outcome outcome = Outcome::Done;
        // One entry per phone, in device node order.
        std::vector<DEVICE_INFO_EX> devices;
    };

    // One search with a device manager of its own.
    static Result once(const SignalWatcher& signals,
                       std::chrono::milliseconds timeLimit = kTimeLimit);

    // Starts one enumeration on manager (telling sink, which may be null) and waits for its
    // end, at most timeLimit. Throws std::runtime_error when no enumeration can be started (the
    // system gives no thread).
    static Outcome enumerate(DeviceManager& manager, IDeviceListSink* sink,
                             const SignalWatcher& signals, std::chrono::milliseconds timeLimit);

    // Tells the person why the devices below roots cannot be read, and what to do.
    static void reportUnreadable(const DeviceRoots& roots, Console& console);
};
