// What the steps of a run hand to each other.
#pragma once

#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform.h"

struct generator_state {
    std::string orig_header_loc;
    std::string config_output_loc;
    std::string path_separator = std::string(1, platform::path_separator);
    bool personality_has_boost_include = false;
    std::set<std::string> possible_defines;
    std::map<std::string, std::string> personality_defines;
    std::set<std::string> included_system_headers;
    std::set<std::string> nonboost_paths;

    std::ostream* console = &std::cout;
};

// Thrown by a step that ends the run at once; its message has been printed.
struct run_ended {
    int status;
};

// One console line: written, ended and flushed at once, so that a parent
// reading the pipe sees every line as soon as it is complete.
void say(generator_state& state, std::string_view line);

// The root of the substitute Boost tree: <output>/boost.
std::string substitute_tree(const generator_state& state);

// A path inside the original tree with orig_header_loc replaced by the
// substitute tree. The remainder keeps its leading separator, so the seam
// shows a doubled one.
std::string mirror_path(const generator_state& state, const std::string& path);

// Whether a relative path has a ".." component, with either separator.
bool has_parent_component(const std::string& relative);
