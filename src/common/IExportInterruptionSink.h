#pragma once

#include <memory>

#include "common/IExportInterruptionReaction.h"

// Asked when writing the output file failed. Called on the worker thread, which then waits
// until one of the reaction's operations has been called from another thread.
class IExportInterruptionSink {
public:
    // accessError: true when the file could not be written or opened, false when the disk is
    // full. The sink owns the reaction from now on and keeps it until the next one arrives or
    // the sink is destroyed; destroying a reaction that was never answered counts as abort.
    virtual void onExportInterrupted(bool accessError,
                                     std::unique_ptr<IExportInterruptionReaction> reaction) = 0;
    virtual ~IExportInterruptionSink() = default;
};
