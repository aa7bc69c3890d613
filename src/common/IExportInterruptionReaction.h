#pragma once

// The answer to a failed write of the output file. Exactly one of retry and abort is called,
// once, usually from the user-interface thread; the worker thread waits until then.
class IExportInterruptionReaction {
public:
    virtual void retry() = 0;
    virtual void abort() = 0;
    virtual ~IExportInterruptionReaction() = default;
};
