// How far a run is, for a program that shows it (velk asks with --progress):
// "Progress: STEP DONE TOTAL" lines beside the usual ones. DONE counts the
// files the plan has handled (written or compared); TOTAL is what the run
// expects to handle, raised as later steps learn their share. Off unless
// asked for, so that the usual output stays as it is.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

class run_progress {
public:
    void report_to(std::ostream& out) { out_ = &out; }
    bool on() const { return out_ != nullptr; }

    // A step starts with done files handled so far and total expected in all.
    void step(std::string_view name, std::size_t done, std::size_t total);
    // One more file handled; a line when the share shown has moved.
    void handled(std::size_t done);
    // The run got through: the last line says all is done.
    void finish();

private:
    void print();

    std::ostream* out_ = nullptr;
    std::string step_;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
    std::size_t shown_ = 0;  // the share last printed, in steps of 1/shares
};
