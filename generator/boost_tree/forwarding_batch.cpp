#include "forwarding_batch.h"

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
    entries_.push_back({true, std::move(mirror)});
}

void forwarding_batch::file(std::string source)
{
    sources_.push_back(source);
    entries_.push_back({false, std::move(source)});
    if (sources_.size() == batch_files)
        finish();
}

void forwarding_batch::finish()
{
    // The files read now while the threads also write the headers the last
    // batch journalled: a failed write among those comes first in walk order.
    std::vector<header_scan> scans(sources_.size());
    if (std::optional<tree_plan::failed_write> failed =
            state_.plan.write_deferred(sources_.size(), [&](std::size_t i, unsigned thread) {
                const std::string relative = source_below_boost(state_, sources_[i]);
                // A name the record cannot hold is not read: the plan names it.
                if (record_path("boost/" + relative))
                    scans[i] = scan_header(state_, sources_[i], relative, spaces_[thread]);
            }))
        end_at_failed_header(*failed);

    std::vector<entry> entries = std::move(entries_);
    entries_.clear();
    sources_.clear();
    try {
        std::size_t next_scan = 0;
        for (const entry& at : entries) {
            if (!at.is_directory)
                write_forwarding_header(state_, at.path, scans[next_scan++]);
            else if (state_.plan.directory(at.path) == directory_status::link)
                throw run_ended{link_refusal(at.path)};
        }
    } catch (const run_ended&) {
        // The headers journalled before the failure are written all the same,
        // as one thread would have; one that failed is earlier in walk order.
        write_journalled();
        throw;
    }
}

void forwarding_batch::write_journalled()
{
    if (std::optional<tree_plan::failed_write> failed = state_.plan.write_deferred())
        end_at_failed_header(*failed);
}
