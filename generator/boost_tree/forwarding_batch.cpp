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
    state_.plan.share_writes(nullptr);
}

void forwarding_batch::directory(std::string mirror)
{
    handed_.entries.push_back({true, std::move(mirror)});
}

void forwarding_batch::file(std::string source)
{
    const std::string relative = source_below_boost(state_, source);
    // Looked up now, on this thread: the plan takes the record's scans out
    // of it while the threads read.
    handed_.earlier.push_back(earlier_scan(state_, relative));
    handed_.sources.push_back(source);
    handed_.entries.push_back({false, std::move(source)});
    if (handed_.sources.size() == batch_files)
        step();
}

void forwarding_batch::step()
{
    batch reading = std::move(handed_);
    handed_ = {};
    reading.scans.resize(reading.sources.size());
    state_.plan.start_deferred(reading.sources.size(), [this, &reading](std::size_t i, unsigned thread) {
        const std::string relative = source_below_boost(state_, reading.sources[i]);
        // A name the record cannot hold is not read: the plan names it.
        if (record_path("boost/" + relative))
            reading.scans[i] = scan_header(state_, reading.sources[i], reading.earlier[i], spaces_[thread]);
    });
    try {
        take(read_);
    } catch (const run_ended&) {
        // What the threads wrote meanwhile was journalled earlier: a failure
        // among it comes first in walk order.
        if (std::optional<tree_plan::failed_write> failed = state_.plan.wait_deferred())
            end_at_failed_header(*failed);
        // The headers journalled before the failure are written all the same,
        // as one thread would have.
        write_journalled();
        throw;
    } catch (...) {
        (void)state_.plan.wait_deferred();  // the threads work on this frame's batch
        throw;
    }
    if (std::optional<tree_plan::failed_write> failed = state_.plan.wait_deferred())
        end_at_failed_header(*failed);
    read_ = std::move(reading);
}

void forwarding_batch::take(batch& read)
{
    std::size_t next_scan = 0;
    for (const entry& at : read.entries) {
        if (!at.is_directory)
            write_forwarding_header(state_, at.path, read.scans[next_scan++]);
        else if (state_.plan.directory(at.path) == directory_status::link)
            throw run_ended{link_refusal(at.path)};
    }
    read = {};
}

void forwarding_batch::finish()
{
    // The batch being handed over is read, then taken.
    step();
    step();
}

void forwarding_batch::write_journalled()
{
    if (std::optional<tree_plan::failed_write> failed = state_.plan.write_deferred())
        end_at_failed_header(*failed);
}
