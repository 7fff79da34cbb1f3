// One run per output at a time: a lock file of Skeld's own directly in the
// output folder, locked with the system's advisory lock for the whole run or
// removal. The lock ends with the process, so a file left by a killed run
// stops nobody; the file itself goes when the run ends.
#pragma once

#include <optional>
#include <string>

#include "platform.h"

inline constexpr const char* lock_name = "skeld-lock";

class output_lock {
public:
    output_lock() = default;
    output_lock(const output_lock&) = delete;
    output_lock& operator=(const output_lock&) = delete;
    // Removes the lock file while it is still held: a run waiting on it
    // finds it gone and makes its own.
    ~output_lock();

    // Takes output's lock, waiting a few seconds for another run to end;
    // throws run_ended naming the output when it does not. Where no lock file
    // can be made (no such folder, a read-only one), the run goes on without:
    // it writes nothing there, and what it tries says why.
    void take(const std::string& output);

private:
    std::string path_;
    std::optional<platform::file> file_;
};

// Whether another run holds output's lock; makes no lock file.
bool output_in_use(const std::string& output);

// The line that says so.
std::string in_use_line(const std::string& output);
