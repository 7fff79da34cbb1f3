#include "system_stubs.h"

#include "personality_update.h"
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

void copy_directory(generator_state& state, const std::string& source, std::string destination)
{
    const std::string& sep = state.path_separator;
    if (source != "borland") {
        destination += source.substr(source.rfind(sep) + 1);
        platform::make_directory(destination);
    }
    platform::directory_listing listing;
    if (!listing.open(source))
        return;
    while (listing.next()) {
        const std::string& name = listing.name();
        if (name == "." || name == "..")
            continue;
        const std::string path = source + sep + name;
        if (platform::is_directory(path)) {
            copy_directory(state, path, destination + sep);
        } else {
            std::string text;
            read_text_file(path, text);
            write_text_file(destination + sep + name, text);
        }
    }
}

bool write_system_stubs(generator_state& state, const std::string& personality)
{
    const std::string& sep = state.path_separator;
    const std::string stub_dir = state.config_output_loc + sep + "system";
    platform::make_directory(stub_dir);

    for (const std::string& name : state.included_system_headers) {
        if (!stays_inside_stub_directory(name)) {
            say(state, "Skipped stub header for <" + name + ">: its stub would lie outside " + stub_dir);
            continue;
        }
        const char split = name.find('/') != std::string::npos               ? '/'
                           : name.find(platform::path_separator) != std::string::npos ? platform::path_separator
                                                                                      : 0;
        if (split) {
            std::string dir = stub_dir;
            std::size_t start = 0;
            for (std::size_t at = name.find(split); at != std::string::npos; at = name.find(split, at + 1)) {
                dir += sep + name.substr(start, at - start);
                platform::make_directory(dir);
                start = at + 1;
            }
        }
        if (!write_text_file(stub_dir + sep + name, system_stub_text(name))) {
            say(state, "Couldn't create stub header - " + stub_dir + sep + name + ". Please check folder permissions");
            return false;
        }
    }

    if (state.possible_defines.count("__BORLANDC__"))
        copy_directory(state, "borland", stub_dir);

    return edit_personality(state, personality, stub_dir);
}
