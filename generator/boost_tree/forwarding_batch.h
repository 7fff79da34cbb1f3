// The writing walk's work, shared among threads: the walk hands over its
// mirror directories and Boost files in its order; the files are read and
// scanned by the other threads while the calling thread takes the files read
// before them in that same order (the plan, the journal, the record's lines,
// progress) and walks on, and the forwarding headers it journalled before
// that are written by the threads beside the reading. What the run writes, logs and
// records is what one thread would; a failure ends the run at the first
// failing file in walk order.
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
    // last files journalled, which goes with write_journalled(); ends the
    // run at a failure.
    void finish();
    // Writes the files journalled so far; ends the run at a failure.
    void write_journalled();

private:
    struct entry {
        bool is_directory;
        std::string path;
    };
    // Files handed over together: read by the threads in one step, taken
    // in order by the calling thread in the next.
    struct batch {
        std::vector<entry> entries;
        std::vector<std::string> sources;  // the files among entries, in order
        std::vector<std::string> relatives;  // each below the Boost folder, made by the reading thread
        std::vector<header_scan> scans;
    };
    // One step: once the threads are done with the last one, they read the
    // batch handed over and write what was journalled, while this thread
    // takes the batch they read last step, then goes on with the walk.
    void step();
    void take(batch& read);

    generator_state& state_;
    work_share& share_;
    batch handed_;
    batch reading_;  // by the threads
    std::vector<scan_space> spaces_;  // one per thread
};
