#include "config_headers.h"

#include "output_file.h"
#include "paths.h"
#include "text_files.h"

namespace {

bool copy_config_header(generator_state& state, const char* directory, const char* source_name)
{
    const std::string target = paths::join(
        paths::join(paths::join(paths::substitute_tree(state.config_output_loc), "config"), directory), "orvo++.hpp");
    const std::string source = data_file(state, source_name);
    std::string text;
    // An empty copy would leave Boost without a configuration: a source that
    // cannot be read is a failure.
    if (const read_result read = read_text_file(source, text); !read.ok()) {
        say(state, "Error: Cannot read " + source + read.why());
        return false;
    }
    const write_result written = state.plan.file(target, text);
    if (!written.ok())
        say(state, written.failure_line("Couldnt create " + target + ". Please check folder permissions", target));
    return written.ok();
}

}  // namespace

bool write_config_headers(generator_state& state)
{
    return copy_config_header(state, "compiler", "orvo++_compiler.hpp") &&
           copy_config_header(state, "platform", "orvo++_windows.hpp");
}
