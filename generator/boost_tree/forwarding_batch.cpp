#include "forwarding_batch.h"

#include <utility>

#include "output_file.h"
#include "tree_record.h"

namespace {

// Files read ahead before the walk's order is caught up with: enough to keep
// the threads busy, few enough that what waits stays small and that the
// files written keep close behind the progress lines (a run stopped part way
// has written most of what it counted).
constexpr std::size_t batch_files = 32;

}  // namespace

forwarding_batch::forwarding_batch(generator_state& state, work_share& share)
    : state_(state), share_(share), spaces_(share.jobs())
{
    state_.plan.share_writes(&share_);
}

forwarding_batch::~forwarding_batch()
{
    // A run ended some other way: the threads may still work on this batch's files.
    try {
        (void)state_.plan.wait_deferred();
    } catch (...) {
    }
    state_.plan.share_writes(nullptr);
}

void forwarding_batch::directory(std::string mirror)
{
    handed_.entries.push_back({true, std::move(mirror)});
}

void forwarding_batch::file(std::string source)
{
    handed_.sources.push_back(source);
    handed_.entries.push_back({false, std::move(source)});
    if (handed_.sources.size() == batch_files)
        step();
}

void forwarding_batch::step()
{
    // What the threads did last step: the batch they read is taken now, and
    // a failed write among theirs comes first in walk order.
    if (std::optional<tree_plan::failed_write> failed = state_.plan.wait_deferred())
        end_at_failed_header(*failed);
    batch read = std::move(reading_);
    reading_ = std::move(handed_);
    handed_ = {};
    reading_.scans.resize(reading_.sources.size());
    reading_.relatives.resize(reading_.sources.size());
    state_.plan.start_deferred(reading_.sources.size(), [this](std::size_t i, unsigned thread) {
        // Made here, beside the scan, and kept for the plan.
        const std::string& relative = reading_.relatives[i] = source_below_boost(state_, reading_.sources[i]);
        // A name the record cannot hold is not read: the plan names it.
        if (record_path("boost/" + relative))
            reading_.scans[i] = scan_header(state_, reading_.sources[i], relative, spaces_[thread]);
    });
    // Taken while the threads read and write, and the walk goes on while
    // they still do.
    try {
        take(read);
    } catch (const run_ended&) {
        if (std::optional<tree_plan::failed_write> failed = state_.plan.wait_deferred())
            end_at_failed_header(*failed);
        // The headers journalled before the failure are written all the same,
        // as one thread would have.
        write_journalled();
        throw;
    }
}

void forwarding_batch::take(batch& read)
{
    std::size_t next = 0;
    for (const entry& at : read.entries) {
        if (!at.is_directory) {
            write_forwarding_header(state_, at.path, read.relatives[next], read.scans[next]);
            ++next;
        } else if (state_.plan.directory(at.path) == directory_status::link) {
            throw run_ended{link_refusal(at.path)};
        }
    }
    read = {};
}

void forwarding_batch::finish()
{
    // The batch being handed over is read, then taken; the threads go on
    // writing what that journalled.
    step();
    step();
}

void forwarding_batch::write_journalled()
{
    if (std::optional<tree_plan::failed_write> failed = state_.plan.write_deferred())
        end_at_failed_header(*failed);
}
