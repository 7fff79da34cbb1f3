// What a run leaves of an earlier one: the files and directories the earlier
// record lists and this run's plan does not are taken away, and only those.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "tree_record.h"

struct removal_report {
    std::size_t removed = 0;  // or, when not carried out, would be
    std::vector<std::string> removed_paths;  // relative, in record order
    // One line for each file left in place, naming it and why.
    std::vector<std::string> left;
    bool failed = false;  // a file that should go could not be removed
    // What could not be removed stays Skeld's: its files, as the record had
    // them, and the recorded directories on their way. The record written
    // next keeps them, so that the next run or --remove finishes the job.
    recorded_files kept_files;
    std::set<std::string> kept_directories;
};

// Removes each file that record lists (a run's plan has taken out of it
// those it writes again), then each
// directory it lists and keep_directories does not, once empty, deepest
// first. A file goes only when it still holds what the record says was
// written there, and nothing on its way from output is a link; otherwise it
// stays and is named. A file that should go and cannot is kept (see
// removal_report). With carry_out false, only reports.
removal_report remove_recorded(const std::string& output, const tree_record& record,
                               const std::set<std::string>& keep_directories, bool carry_out);
