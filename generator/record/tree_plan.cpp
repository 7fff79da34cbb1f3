#include "tree_plan.h"

#include <iterator>

#include "paths.h"
#include "text_files.h"

void tree_plan::start(std::string output, mode how, tree_record* earlier, bool fresh, std::string carried)
{
    output_ = std::move(output);
    mode_ = how;
    earlier_ = earlier;
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
        if (added && !at->empty()) {
            std::string line;
            append_directory_line(line, *at);
            if (!journal(line))
                return directory_status::not_created;
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

bool tree_plan::plan_file(const std::string& path, std::string_view text, std::string& rel, std::string& bytes,
                          std::size_t& line_start)
{
    // The one path rule holds here too: what the record cannot hold is not written.
    if (!takes(rel))
        return {};
    std::string converted;
    const std::string_view converted_bytes = file_text(text, converted);
    // The earlier record's entry moves into the plan: what stays behind there
    // is what this run no longer writes, and no path is held twice.
    std::optional<digest> recorded;
    if (earlier_)
        if (auto node = earlier_->files.extract(rel))
            recorded = node.mapped();
    line_start = file_lines_.size();
    append_file_line(file_lines_, digest_of(converted_bytes), rel);
    ++file_count_;
    if (progress_)
        progress_->handled(file_count_);

    // A fresh output has nothing to compare with: one call creates each file.
    std::optional<std::string> there;
    if (!fresh_ && (there = bytes_there(path)) && *there == converted_bytes) {
        ++unchanged;
        return false;
    }
    ++written;
    if (mode_ == mode::check) {
        changed_paths.push_back(std::move(rel));
        return false;
    }
    if (recorded && there && !holds_what_skeld_wrote(*earlier_, rel, *recorded, *there))
        rewritten_after_user_change.push_back(path_in_output(output_, rel));
    else if (!recorded && there)
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
    std::size_t line_start = 0;
    if (!plan_file(path, text, rel, bytes, line_start))
        return {};
    if (!journal(std::string_view(file_lines_).substr(line_start)))
        return {write_result::status::cannot_create, platform::last_error_text()};
    return write_generated_bytes(path, bytes);
}

std::optional<tree_plan::failed_write> tree_plan::file_with_its_directory(const std::string& path,
                                                                         std::string_view text, std::string rel)
{
    std::string bytes;
    std::size_t line_start = 0;
    if (!plan_file(path, text, rel, bytes, line_start))
        return std::nullopt;
    const std::string_view directory = std::string_view(path).substr(0, paths::last_separator_of_either(path));
    std::optional<failed_write> failed;
    if (directory != waiting_directory_) {
        failed = flush();
        waiting_directory_ = directory;
    }
    waiting_lines_.append(file_lines_, line_start);
    waiting_.push_back({path, std::move(bytes)});
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
    for (const waiting_file& file : waiting_) {
        if (failed || share_)
            break;
        if (write_result result = write_generated_bytes(file.path, file.bytes); !result.ok())
            failed = failed_write{file.path, std::move(result)};
    }
    waiting_.clear();
    waiting_lines_.clear();
    waiting_directory_.clear();
    return failed;
}

std::optional<tree_plan::failed_write> tree_plan::write_deferred(std::size_t more, const work_share::job_type& other)
{
    if (deferred_.empty() && more == 0)
        return std::nullopt;
    // The writes first: they were journalled before the other jobs' files.
    const std::size_t writes = deferred_.size();
    std::vector<write_result> results(writes);
    share_->for_each(writes + more, [&](std::size_t i, unsigned thread) {
        if (i < writes)
            results[i] = write_generated_bytes(deferred_[i].path, deferred_[i].bytes);
        else
            other(i - writes, thread);
    });
    std::optional<failed_write> failed;
    for (std::size_t i = 0; i < results.size() && !failed; ++i)
        if (!results[i].ok())
            failed = failed_write{std::move(deferred_[i].path), std::move(results[i])};
    deferred_.clear();
    return failed;
}
