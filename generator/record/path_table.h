// Entries under paths, kept in the order they come, their paths in one
// string: what a record names is read, looked up and written out without a
// string or a tree node of its own per file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What every entry of a table carries: where its path stands, and whether a
// run took it over (it then no longer stays behind).
struct path_entry {
    std::uint32_t path_at = 0;
    std::uint32_t path_size = 0;
    bool taken = false;
    bool stands = false;  // the entry its path's lookup finds (set by index())
};

// Entry derives from path_entry. Where one path comes more than once, one
// entry stands for it: the last one whose overrides() is true, else the
// first (a journal comes after the record it would replace: its line wins).
template <class Entry>
class path_table {
public:
    // Appends entry under path; the index is made again at the next lookup.
    Entry& add(std::string_view path, Entry entry)
    {
        entry.path_at = static_cast<std::uint32_t>(paths_.size());
        entry.path_size = static_cast<std::uint32_t>(path.size());
        paths_.append(path);
        indexed_ = false;
        return entries_.emplace_back(std::move(entry));
    }
    // The same, for a path already appended to the table's string (see path_space()).
    Entry& add_appended(std::size_t path_at, Entry entry)
    {
        entry.path_at = static_cast<std::uint32_t>(path_at);
        entry.path_size = static_cast<std::uint32_t>(paths_.size() - path_at);
        indexed_ = false;
        return entries_.emplace_back(std::move(entry));
    }
    // Where a reader may put a path before add_appended, and take it back
    // with drop_appended when it turns out not to be one.
    std::string& path_space() { return paths_; }
    void drop_appended(std::size_t path_at) { paths_.resize(path_at); }

    std::string_view path_of(const path_entry& entry) const
    {
        return std::string_view(paths_).substr(entry.path_at, entry.path_size);
    }

    // The entry that stands for path, or null. Make the index (index())
    // before threads look up at once: then this only reads.
    Entry* find(std::string_view path)
    {
        return const_cast<Entry*>(std::as_const(*this).find(path));
    }
    const Entry* find(std::string_view path) const
    {
        index();
        const auto at = std::lower_bound(index_.begin(), index_.end(), path,
                                         [&](std::uint32_t i, std::string_view p) { return path_of(entries_[i]) < p; });
        return at != index_.end() && path_of(entries_[*at]) == path ? &entries_[*at] : nullptr;
    }

    // find, for a caller that asks in about the order the entries came (a
    // run again plans its files in the order the record lists them): the
    // entry at hint is tried first, and hint moves past what is found.
    Entry* find_from(std::string_view path, std::size_t& hint)
    {
        index();
        if (hint < entries_.size() && entries_[hint].stands && path_of(entries_[hint]) == path)
            return &entries_[hint++];
        Entry* found = find(path);
        if (found)
            hint = static_cast<std::size_t>(found - entries_.data()) + 1;
        return found;
    }

    // f(path, entry) for each entry that stands and was not taken, by path.
    template <class F>
    void in_path_order(F&& f) const
    {
        index();
        for (const std::uint32_t i : index_)
            if (!entries_[i].taken)
                f(path_of(entries_[i]), entries_[i]);
    }
    // f(path, entry) for every entry in the order added: for a table that
    // holds each path once (a plan plans a path once).
    template <class F>
    void in_order(F&& f) const
    {
        for (const Entry& entry : entries_)
            if (!entry.taken)
                f(path_of(entry), entry);
    }

    // How many entries stand and were not taken.
    std::size_t size() const
    {
        index();
        return static_cast<std::size_t>(
            std::count_if(index_.begin(), index_.end(), [&](std::uint32_t i) { return !entries_[i].taken; }));
    }
    bool empty() const { return size() == 0; }
    void clear()
    {
        entries_.clear();
        paths_.clear();
        index_.clear();
        indexed_ = true;
    }
    void reserve(std::size_t entries, std::size_t path_bytes)
    {
        entries_.reserve(entries);
        paths_.reserve(path_bytes);
    }
    // The entries in the order added, every one (those that do not stand too).
    std::vector<Entry>& entries() { return entries_; }
    const std::vector<Entry>& entries() const { return entries_; }

    // Sorts the index, one entry a path.
    void index() const
    {
        if (indexed_)
            return;
        index_.resize(entries_.size());
        for (std::uint32_t i = 0; i < index_.size(); ++i)
            index_[i] = i;
        std::stable_sort(index_.begin(), index_.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return path_of(entries_[a]) < path_of(entries_[b]); });
        std::size_t kept = 0;
        for (std::size_t k = 0; k < index_.size();) {
            std::size_t stands = index_[k];
            std::size_t j = k;
            for (; j < index_.size() && path_of(entries_[index_[j]]) == path_of(entries_[index_[k]]); ++j)
                if (entries_[index_[j]].overrides())
                    stands = index_[j];
            index_[kept++] = static_cast<std::uint32_t>(stands);
            k = j;
        }
        index_.resize(kept);
        for (Entry& entry : entries_)
            entry.stands = false;
        for (const std::uint32_t i : index_)
            entries_[i].stands = true;
        indexed_ = true;
    }

private:
    mutable std::vector<Entry> entries_;  // index() marks which stand
    std::string paths_;
    mutable std::vector<std::uint32_t> index_;
    mutable bool indexed_ = true;
};
