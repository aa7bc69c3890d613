#pragma once

namespace soak {

// What the process holds now: open file descriptors, threads and resident memory.
struct ProcessFigures {
    int openFiles = 0;
    int threads = 0;
    long residentKb = 0;

    static ProcessFigures now();
};

}  // namespace soak
