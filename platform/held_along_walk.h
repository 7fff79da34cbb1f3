// What a depth-first walk asks of one directory after another, held for the
// directories on the way down: a directory whose files come again after its
// subdirectories' is not opened or listed a second time, and what a walk
// has left is let go.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

template <class Held>
class held_along_walk {
public:
    // What is held for directory, made by make(directory) when it is not
    // held yet; what is held for directories that do not lead to it goes.
    template <class Make>
    Held& at(std::string_view directory, Make make)
    {
        while (!held_.empty() && !leads_to(held_.back().first, directory))
            held_.pop_back();
        if (held_.empty() || held_.back().first != directory) {
            std::string key(directory);
            Held made = make(key);
            held_.emplace_back(std::move(key), std::move(made));
        }
        return held_.back().second;
    }

private:
    static bool leads_to(std::string_view ancestor, std::string_view directory)
    {
        if (!directory.starts_with(ancestor))
            return false;
        if (directory.size() == ancestor.size() || ancestor.empty())
            return true;
        const char next = directory[ancestor.size()];
        return next == '/' || next == '\\' || ancestor.back() == '/' || ancestor.back() == '\\';
    }

    std::vector<std::pair<std::string, Held>> held_;
};

}  // namespace platform
