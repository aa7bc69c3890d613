#pragma once

namespace phonesim {

// Wakes the phone's thread out of poll(): other threads notify, the phone's thread polls fd()
// together with the port and clears the signal when it has looked at what changed.
class WakeSignal {
public:
    WakeSignal();  // throws std::system_error when the system has no descriptor to give
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    void notify();
    void clear();
    int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace phonesim
