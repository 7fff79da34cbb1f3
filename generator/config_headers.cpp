#include "config_headers.h"

#include "text_files.h"

namespace {

bool copy_config_header(generator_state& state, const char* directory, const char* source)
{
    const std::string& sep = state.path_separator;
    const std::string target = substitute_tree(state) + sep + "config" + sep + directory + sep + "orvo++.hpp";
    std::string text;
    // A missing source leaves an empty target, silently: the copy does not check it.
    read_text_file(source, text);
    if (!write_text_file(target, text)) {
        say(state, "Couldnt create " + target + ". Please check folder permissions");
        return false;
    }
    return true;
}

}  // namespace

bool write_config_headers(generator_state& state)
{
    return copy_config_header(state, "compiler", "orvo++_compiler.hpp") &&
           copy_config_header(state, "platform", "orvo++_windows.hpp");
}
