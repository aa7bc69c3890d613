#pragma once

// The answer to a failed write of the output file. Exactly one of retry and abort is called,
// once, usually from the user-interface thread; the worker thread waits until then.
class IExportInterruptionReaction {
public:
    virtual void retry() = 0;
    virtual void abort() = 0;
    virtual ~IExportInterruptionReaction() = default;
    // The errno of the write that failed (ENOSPC, EDQUOT, EACCES, EFBIG, ...), so that the
    // question can name the cause; 0 when it is not known.
    virtual int failureCode() const { return 0; }
};
