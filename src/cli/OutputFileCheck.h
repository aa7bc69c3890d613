#pragma once

#include <string>

// Tries the output file before the phone is asked, so that nobody waits for the phone to learn
// that the file cannot be written. A courtesy only: the export reports its own failures from
// the errno it meets.
class OutputFileCheck {
public:
    struct Problem {
        int code = 0;               // the errno of the failure; 0: none found
        bool existingFile = false;  // it concerns the file already there (see FileAccessException)
        bool terminal = false;      // the path names a terminal

        explicit operator bool() const { return code != 0 || terminal; }
    };

    // A terminal is found from its device number, without opening it. Otherwise the output is
    // prepared as the export prepares it (a working file is created beside it and removed
    // again), so that the failure is the real one; and a folder whose file system has no free
    // block left counts as a full disk (ENOSPC).
    static Problem problem(const std::string& path);
};
