#include "system_stubs.h"

#include "output_file.h"
#include "text_files.h"

std::string system_stub_text(const std::string& name)
{
    const std::string forward = "#include_next <" + name + ">\n";
    return "#ifdef IN_BOOST_HEADERS\n"
           "#ifndef IN_SYSTEM_STUB\n"
           "#define IN_SYSTEM_STUB\n"
           "#include \"AddAllCompilerFlags.h\"\n" +
           forward +
           "#include \"RemoveAllCompilerFlags.h\"\n"
           "#undef IN_SYSTEM_STUB\n"
           "#else\n" +
           forward +
           "#endif\n"
           "#else\n" +
           forward + "#endif\n";
}

bool stays_inside_stub_directory(const std::string& name)
{
    if (name.empty() || name[0] == '/' || name[0] == '\\')
        return false;
    if (name.size() >= 2 && name[1] == ':')
        return false;
    // Either separator splits components here, whatever the platform: a name
    // that reads as leaving the directory anywhere gets no stub anywhere.
    return !has_parent_component(name);
}

namespace {

// A directory of the stub tree; a link there is refused, since the stubs
// would be written wherever it leads.
void make_stub_directory(const std::string& path)
{
    if (make_output_directory(path) == directory_status::link)
        throw run_ended{link_refusal(path)};
}

}  // namespace

bool copy_directory(generator_state& state, const std::string& source, std::string destination)
{
    const std::string& sep = state.path_separator;
    if (source != data_file(state, "borland")) {
        destination += source.substr(source.rfind(sep) + 1);
        make_stub_directory(destination);
    }
    platform::directory_listing listing;
    if (!listing.open(source))
        return true;  // no overlay to lay
    while (listing.next()) {
        const std::string& name = listing.name();
        if (name == "." || name == "..")
            continue;
        const std::string path = source + sep + name;
        if (platform::is_directory(path)) {
            if (!copy_directory(state, path, destination + sep))
                return false;
            continue;
        }
        std::string text;
        if (const read_result read = read_text_file(path, text); !read.ok()) {
            say(state, "Error: Cannot read " + path + read.why());
            return false;
        }
        const std::string target = destination + sep + name;
        if (const write_result written = write_generated_file(target, text); !written.ok()) {
            say(state, "Couldn't write " + target + ": " + written.reason);
            return false;
        }
    }
    return true;
}

bool write_system_stubs(generator_state& state)
{
    const std::string& sep = state.path_separator;
    const std::string stub_dir = state.config_output_loc + sep + "system";
    make_stub_directory(stub_dir);

    for (const std::string& name : state.included_system_headers) {
        if (!stays_inside_stub_directory(name)) {
            say(state, "Skipped stub header for <" + name + ">: its stub would lie outside " + stub_dir);
            continue;
        }
        const char split = name.find('/') != std::string::npos                        ? '/'
                           : name.find(platform::path_separator) != std::string::npos ? platform::path_separator
                                                                                      : 0;
        if (split) {
            std::string dir = stub_dir;
            std::size_t start = 0;
            for (std::size_t at = name.find(split); at != std::string::npos; at = name.find(split, at + 1)) {
                dir += sep + name.substr(start, at - start);
                make_stub_directory(dir);
                start = at + 1;
            }
        }
        const std::string target = stub_dir + sep + name;
        const write_result written = write_generated_file(target, system_stub_text(name));
        if (written.outcome == write_result::status::cannot_create) {
            say(state, "Couldn't create stub header - " + target + ". Please check folder permissions");
            return false;
        }
        if (!written.ok()) {
            say(state, "Couldn't write stub header - " + target + ": " + written.reason);
            return false;
        }
    }

    if (state.possible_defines.count("__BORLANDC__"))
        return copy_directory(state, data_file(state, "borland"), stub_dir);
    return true;
}
