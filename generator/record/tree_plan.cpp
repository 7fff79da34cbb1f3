#include "tree_plan.h"

#include <algorithm>
#include <iterator>

#include "paths.h"
#include "text_files.h"

void tree_plan::start(std::string output, mode how, tree_record* earlier, bool fresh, std::string carried)
{
    output_ = std::move(output);
    mode_ = how;
    earlier_ = earlier;
    next_recorded_ = 0;
    fresh_ = fresh;
    carried_ = std::move(carried);
}

namespace {

bool is_separator(char c)
{
    return c == '/' || c == platform::path_separator;
}

}  // namespace

bool tree_plan::takes(const std::string& rel, bool directory)
{
    if (record_path(rel))
        return true;
    // Below a directory skipped already, that directory alone is named.
    bool below_skipped = false;
    for (std::size_t at = rel.find('/'); at != std::string::npos && !below_skipped; at = rel.find('/', at + 1))
        below_skipped = skipped_directories_.count(rel.substr(0, at)) > 0;
    if (!below_skipped)
        unrecordable.push_back(path_in_output(output_, rel));
    if (directory)
        skipped_directories_.insert(rel);
    return false;
}

std::string tree_plan::relative(std::string_view path) const
{
    path.remove_prefix(std::min(output_.size(), path.size()));
    // Compacted in place: it runs for every file of the tree.
    std::string relative(path);
    std::size_t out = 0;
    for (const char c : path) {
        if (!is_separator(c))
            relative[out++] = c;
        else if (out > 0 && relative[out - 1] != '/')
            relative[out++] = '/';  // a doubled separator, as the mirror seam has, counts once
    }
    if (out > 0 && relative[out - 1] == '/')
        --out;
    relative.resize(out);
    return relative;
}

bool tree_plan::journal(std::string_view lines)
{
    // Once a file: the journal's path and head are made only when it opens.
    if (journal_.is_open())
        return journal_.append(std::string(), lines);
    std::string first = journal_head().append(carried_).append(lines);
    carried_.clear();
    return journal_.append(paths::join(output_, journal_name), first);
}

directory_status tree_plan::directory(const std::string& path)
{
    std::string rel = relative(path);
    if (!rel.empty() && !takes(rel, true))
        return directory_status::ok;  // nothing below it is written either
    const auto [at, added] = directories_.insert(std::move(rel));
    if (mode_ == mode::run) {
        // One the earlier record names is known to the next run already,
        // however this one ends: a run again over a whole tree opens no journal.
        if (added && !at->empty() && !(earlier_ && earlier_->directories.count(*at))) {
            std::string line;
            append_directory_line(line, *at);
            if (!journal(line))
                return directory_status::not_created;
        }
        // One a run made before is looked at, not made again: one call, not two.
        if (!added || (earlier_ && earlier_->directories.count(*at))) {
            const platform::node_kind there = platform::node_at(path);
            if (there == platform::node_kind::directory)
                return directory_status::ok;
            if (there == platform::node_kind::link)
                return directory_status::link;
        }
        return make_output_directory(path);
    }
    return platform::node_at(path) == platform::node_kind::link ? directory_status::link : directory_status::ok;
}

std::optional<std::string> tree_plan::bytes_there(const std::string& path) const
{
    // Only a plain file counts: a link there is never read through, and is
    // replaced when the file is written.
    std::string there;
    if (platform::node_at(path) != platform::node_kind::regular || !read_file_bytes(path, there).ok())
        return std::nullopt;
    return there;
}

write_result tree_plan::file(const std::string& path, std::string_view text)
{
    return file(path, text, relative(path));
}

bool stamp_vouches(std::optional<std::uint64_t> recorded, const platform::file_stamp& now, std::int64_t record_written_at)
{
    return recorded && *recorded != 0 && now.fold == *recorded && now.modified < record_written_at;
}

namespace {

std::size_t name_at(std::string_view path)
{
    const std::size_t separator = paths::last_separator_of_either(path);
    return separator == std::string_view::npos ? 0 : separator + 1;
}

const platform::file_stamp* find_stamp(const std::vector<std::pair<std::string, platform::file_stamp>>& listing,
                                       std::string_view name)
{
    const auto at = std::lower_bound(listing.begin(), listing.end(), name,
                                     [](const auto& entry, std::string_view wanted) { return entry.first < wanted; });
    return at != listing.end() && at->first == name ? &at->second : nullptr;
}

void list_sorted(const std::string& directory, std::vector<std::pair<std::string, platform::file_stamp>>& listing)
{
    listing.clear();
    if (platform::directory_stamps(directory, listing))
        std::sort(listing.begin(), listing.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
}

}  // namespace

std::optional<platform::file_stamp> tree_plan::stamp_there(const std::string& path)
{
    if (!known_path_.empty() && known_path_ == path) {
        known_path_.clear();
        return known_stamp_;
    }
    known_path_.clear();
    return listed_.stamp_of(path);
}

void tree_plan::stamp_written(const std::vector<written_file>& written)
{
    for (const written_file& file : written) {
        if (file.stamp.fold != 0)
            files_.entries()[file.entry].stamp = file.stamp.fold;
        else
            unstamped_.push_back(file.entry);
    }
}

void tree_plan::stamp_the_rest()
{
    // Taken after the files are closed (NTFS may set the write time at
    // close), a directory at a time: the walk comes back to a directory after
    // each of its subdirectories, and each listing costs a request.
    std::vector<std::pair<std::string, std::size_t>> by_path;
    by_path.reserve(unstamped_.size());
    for (const std::size_t entry : unstamped_)
        by_path.emplace_back(path_in_output(output_, files_.path_of(files_.entries()[entry])), entry);
    unstamped_.clear();
    // By directory, then name: a directory's files together.
    const auto directory_of = [](const std::string& path) {
        const std::size_t name = name_at(path);
        return std::string_view(path).substr(0, name == 0 ? 0 : name - 1);
    };
    std::sort(by_path.begin(), by_path.end(), [&](const auto& a, const auto& b) {
        const std::string_view da = directory_of(a.first), db = directory_of(b.first);
        return da != db ? da < db : a.first < b.first;
    });
    std::vector<std::pair<std::string, platform::file_stamp>> listing;
    std::string_view listed;
    bool any_listed = false;
    for (const auto& [path, entry] : by_path) {
        const std::size_t name = name_at(path);
        const std::string_view directory = directory_of(path);
        if (!any_listed || directory != listed) {
            list_sorted(directory.empty() ? std::string(".") : std::string(directory), listing);
            listed = directory;
            any_listed = true;
        }
        if (const platform::file_stamp* stamp = find_stamp(listing, std::string_view(path).substr(name)))
            files_.entries()[entry].stamp = stamp->fold;
    }
}

void tree_plan::append_line(std::string& lines, std::size_t entry) const
{
    const file_entry& file = files_.entries()[entry];
    append_file_line(lines, files_.path_of(file), file);
}

bool tree_plan::plan_file(const std::string& path, std::string_view text, std::string& rel, std::string& bytes,
                          std::size_t& entry)
{
    // The one path rule holds here too: what the record cannot hold is not written.
    if (!takes(rel))
        return {};
    std::string converted;
    const std::string_view converted_bytes = file_text(text, converted);
    // The earlier record's entry is taken over: what is not taken is what
    // this run no longer writes.
    file_entry* recorded = earlier_ ? earlier_->files.find_from(rel, next_recorded_) : nullptr;
    if (recorded)
        recorded->taken = true;
    const digest planned = digest_of(converted_bytes);
    const std::optional<platform::file_stamp> now = fresh_ ? std::nullopt : stamp_there(path);
    // A run's line carries the file's stamp, put in once it is known; a
    // check's keeps the recorded one, so that a stamp alone never makes a
    // check answer that the record would change.
    entry = files_.entries().size();
    file_entry& line = files_.add(rel, {});
    line.value = planned;
    line.stamped = mode_ == mode::run || (recorded && recorded->stamped);
    line.stamp = mode_ == mode::run || !recorded ? 0 : recorded->stamp;
    if (progress_)
        progress_->handled(files_.entries().size());
    const auto keep_stamp = [&] {
        if (mode_ == mode::run && now)
            files_.entries()[entry].stamp = now->fold;
    };

    // A file whose stamp vouches for its bytes is not read: they are the
    // recorded ones. A journalled file is read whatever its stamp.
    std::optional<std::string> there;
    bool skelds_own = false;
    if (now && recorded && recorded->stamped &&
        stamp_vouches(recorded->stamp, *now, earlier_->written_at) && !recorded->journalled) {
        if (recorded->value == planned) {
            ++unchanged;
            keep_stamp();
            return false;
        }
        skelds_own = true;
    } else if (!fresh_ && (there = bytes_there(path)) && *there == converted_bytes) {
        // A fresh output has nothing to compare with: one call creates each file.
        ++unchanged;
        keep_stamp();
        return false;
    }
    ++written;
    if (mode_ == mode::check) {
        changed_paths.push_back(std::move(rel));
        return false;
    }
    if (!skelds_own && recorded && there && !holds_what_skeld_wrote(*recorded, *there))
        rewritten_after_user_change.push_back(path_in_output(output_, rel));
    else if (!skelds_own && !recorded && there)
        replaced_unknown.push_back(path_in_output(output_, rel));
    if (converted.empty())
        bytes.assign(converted_bytes);
    else
        bytes = std::move(converted);
    return true;
}

write_result tree_plan::file(const std::string& path, std::string_view text, std::string rel)
{
    std::string bytes;
    std::size_t entry = 0;
    if (!plan_file(path, text, rel, bytes, entry))
        return {};
    std::string line;
    append_line(line, entry);
    if (!journal(line))
        return {write_result::status::cannot_create, platform::last_error_text()};
    written_file written{&path, entry, {}};
    write_result result = write_generated_bytes(path, bytes, &written.stamp);
    if (result.ok())
        stamp_written({written});
    return result;
}

std::optional<tree_plan::failed_write> tree_plan::file_with_its_directory(const std::string& path,
                                                                         std::string_view text, std::string rel)
{
    std::string bytes;
    std::size_t entry = 0;
    if (!plan_file(path, text, rel, bytes, entry))
        return std::nullopt;
    const std::string_view directory = std::string_view(path).substr(0, paths::last_separator_of_either(path));
    std::optional<failed_write> failed;
    if (directory != waiting_directory_) {
        failed = flush();
        waiting_directory_ = directory;
    }
    append_line(waiting_lines_, entry);
    waiting_.push_back({path, std::move(bytes), entry});
    return failed;
}

std::optional<tree_plan::failed_write> tree_plan::flush()
{
    std::optional<failed_write> failed;
    if (!waiting_.empty() && !journal(waiting_lines_)) {
        failed = failed_write{waiting_.front().path,
                              {write_result::status::cannot_create, platform::last_error_text()}};
        // Files journalled before come first in plan order.
        if (std::optional<failed_write> earlier = write_deferred())
            failed = std::move(earlier);
    } else if (share_) {
        std::move(waiting_.begin(), waiting_.end(), std::back_inserter(deferred_));
    }
    std::vector<written_file> stamped;
    for (const waiting_file& file : waiting_) {
        if (failed || share_)
            break;
        written_file written{&file.path, file.entry, {}};
        if (write_result result = write_generated_bytes(file.path, file.bytes, &written.stamp); !result.ok())
            failed = failed_write{file.path, std::move(result)};
        else
            stamped.push_back(written);
    }
    stamp_written(stamped);
    waiting_.clear();
    waiting_lines_.clear();
    waiting_directory_.clear();
    return failed;
}

std::optional<tree_plan::failed_write> tree_plan::write_deferred(std::size_t more, const work_share::job_type& other)
{
    // What the threads are writing now was journalled before anything here.
    std::optional<failed_write> failed;
    if (in_flight_)
        failed = wait_deferred();
    if (deferred_.empty() && more == 0)
        return failed;
    start_deferred(more, other);
    std::optional<failed_write> later = wait_deferred();
    return failed ? failed : later;
}

void tree_plan::start_deferred(std::size_t more, work_share::job_type other)
{
    // The writes first: they were journalled before the other jobs' files.
    writing_ = std::move(deferred_);
    deferred_.clear();
    const std::size_t writes = writing_.size();
    outcomes_.assign(writes, {});
    in_flight_ = true;
    share_->start(writes + more, [this, writes, other = std::move(other)](std::size_t i, unsigned thread) {
        if (i < writes)
            outcomes_[i].result = write_generated_bytes(writing_[i].path, writing_[i].bytes, &outcomes_[i].stamp);
        else
            other(i - writes, thread);
    });
}

std::optional<tree_plan::failed_write> tree_plan::wait_deferred()
{
    if (!in_flight_)
        return std::nullopt;
    in_flight_ = false;
    share_->wait();
    std::optional<failed_write> failed;
    std::vector<written_file> stamped;
    for (std::size_t i = 0; i < writing_.size(); ++i) {
        if (!outcomes_[i].result.ok()) {
            if (!failed)
                failed = failed_write{writing_[i].path, std::move(outcomes_[i].result)};
            continue;
        }
        stamped.push_back({&writing_[i].path, writing_[i].entry, outcomes_[i].stamp});
    }
    // Once every thread has closed its files; one thread takes any listing.
    stamp_written(stamped);
    writing_.clear();
    outcomes_.clear();
    return failed;
}
