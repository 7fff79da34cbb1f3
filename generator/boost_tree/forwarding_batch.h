// The writing walk's work, shared among threads: the walk hands over its
// mirror directories and Boost files in its order; the files are read and
// scanned by all threads at once, then everything is taken in that same
// order on the calling thread (the plan, the journal, the record's lines,
// progress), and the forwarding headers, journalled, are written by all
// threads at once. What the run writes, logs and records is what one thread
// would; a failure ends the run at the first failing file in walk order.
#pragma once

#include <string>
#include <vector>

#include "forwarding_header.h"
#include "generator_state.h"
#include "work_share.h"

class forwarding_batch {
public:
    // The plan writes its files through share until the batch is gone.
    forwarding_batch(generator_state& state, work_share& share);
    forwarding_batch(const forwarding_batch&) = delete;
    forwarding_batch& operator=(const forwarding_batch&) = delete;
    ~forwarding_batch();

    // A mirror directory of the output, made in its turn (a link there ends the run).
    void directory(std::string mirror);
    // A Boost file whose forwarding header is written in its turn.
    void file(std::string source);
    // Carries out all that is handed over so far but the writing of the
    // last files journalled, which goes with the next batch's reading or
    // write_journalled(); ends the run at a failure.
    void finish();
    // Writes the files journalled so far; ends the run at a failure.
    void write_journalled();

private:
    struct entry {
        bool is_directory;
        std::string path;
    };
    generator_state& state_;
    work_share& share_;
    std::vector<entry> entries_;
    std::vector<std::string> sources_;  // the files among entries_, in order
    std::vector<scan_space> spaces_;    // one per thread
};
