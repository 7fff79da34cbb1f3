#include "system_stubs.h"

#include <algorithm>

#include "output_file.h"
#include "paths.h"
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

bool skelds_output(const std::string& directory, const header_search& disk)
{
    const std::string_view bare = paths::without_trailing_separators(directory);
    if (disk.is_file(paths::join(bare, "AddAllCompilerFlags.h")))
        return true;
    const std::size_t at = paths::last_separator_of_either(bare);
    return at != std::string_view::npos && bare.substr(at + 1) == "system" &&
           disk.is_file(paths::join(bare.substr(0, at), "AddAllCompilerFlags.h"));
}

std::set<std::string> names_without_header(const std::set<std::string>& names,
                                           const std::vector<std::string>& include_dirs,
                                           const std::string& boost_parent, const header_search& disk,
                                           std::vector<std::string>* notes)
{
    std::vector<std::string> searched;
    bool names_system_directory = false;
    for (const std::string& directory : include_dirs) {
        // Only a directory that is there says where the headers are: one left
        // from an old compiler, or resolved against a folder the analyser
        // does not use, would cost every stub.
        const char* left_out = !paths::is_absolute(directory) ? " is relative"
                               : !disk.is_directory(directory) ? " does not exist"
                                                               : nullptr;
        if (left_out) {
            if (notes)
                notes->push_back("Note: the personality's include directory " + directory + left_out +
                                 "; the stub rule leaves it out");
            continue;
        }
        if (skelds_output(directory, disk))
            continue;
        searched.push_back(directory);
        if (!disk.same_directory(directory, boost_parent))
            names_system_directory = true;
    }
    std::set<std::string> without;
    if (!names_system_directory)
        return without;
    for (const std::string& name : names) {
        if (!paths::stays_inside(name))
            continue;  // no stub either way, and the caller says why
        bool found = false;
        for (const std::string& directory : searched)
            if ((found = disk.is_file(paths::join(directory, name))))
                break;
        if (!found)
            without.insert(name);
    }
    return without;
}

namespace {

// The same directory, however spelt (case, links, a trailing separator);
// where either cannot be identified, the same text but for trailing separators.
bool same_directory_on_disk(const std::string& a, const std::string& b)
{
    platform::file_identity first, second;
    if (platform::identify(a, first) && platform::identify(b, second))
        return first == second;
    return paths::without_trailing_separators(a) == paths::without_trailing_separators(b);
}

// A directory of the stub tree; a link there is refused, since the stubs
// would be written wherever it leads.
void make_stub_directory(generator_state& state, const std::string& path)
{
    if (state.plan.directory(path) == directory_status::link)
        throw run_ended{link_refusal(path)};
}

// Writes one generated file; false (the line printed) when it cannot be.
bool write_stub_file(generator_state& state, const std::string& path, const std::string& text)
{
    const write_result written = state.plan.file(path, text);
    if (!written.ok())
        say(state,
            written.failure_line("Couldn't create stub header - " + path + ". Please check folder permissions", path));
    return written.ok();
}

}  // namespace

header_search disk_header_search()
{
    return {platform::is_file, same_directory_on_disk, platform::is_directory};
}

bool copy_directory(generator_state& state, const std::string& source, const std::string& destination)
{
    bool ok = true;
    paths::for_each_entry(source, [&](const std::string& name, const std::string& path, platform::entry_kind kind) {
        if (!ok)
            return;
        const std::string target = paths::join(destination, name);
        if (kind == platform::entry_kind::directory) {
            make_stub_directory(state, target);
            ok = copy_directory(state, path, target);
            return;
        }
        std::string text;
        if (const read_result read = read_text_file(path, text); !read.ok()) {
            say(state, "Error: Cannot read " + path + read.why());
            ok = false;
            return;
        }
        ok = write_stub_file(state, target, text);
    });
    return ok;  // a source that cannot be listed has nothing to lay over the stubs
}

namespace {

// The files the overlay lays into destination, as the plan names them.
void overlay_targets(const generator_state& state, const std::string& source, const std::string& destination,
                     std::set<std::string>& targets)
{
    (void)paths::for_each_entry(source, [&](const std::string& name, const std::string& path,
                                            platform::entry_kind kind) {
        const std::string target = paths::join(destination, name);
        if (kind == platform::entry_kind::directory)
            overlay_targets(state, path, target, targets);
        else
            targets.insert(state.plan.relative(target));
    });
}

}  // namespace

bool write_system_stubs(generator_state& state)
{
    const std::string stub_dir = paths::join(state.config_output_loc, "system");
    make_stub_directory(state, stub_dir);

    // One stub file, one name: <stdio.h>, <./stdio.h> and <sys//types.h>'s
    // kin are the same file, and the stub forwards to it by the plain name.
    std::set<std::string> names;
    for (const std::string& name : state.included_system_headers)
        names.insert(paths::plain_relative(name));
    std::vector<std::string> notes;
    const std::set<std::string> without_header =
        names_without_header(names, state.personality_include_dirs,
                             paths::parent(state.orig_header_loc), disk_header_search(), &notes);
    for (const std::string& note : notes)
        say(state, note);
    if (!without_header.empty())
        say(state, "No stub for " + std::to_string(without_header.size()) + " of " +
                       std::to_string(names.size()) +
                       " header names: the personality's include directories hold no such header");
    // A stub the overlay replaces is not written first: a run again would
    // otherwise write both, every time.
    const bool overlay = state.possible_defines.count("__BORLANDC__") > 0;
    std::set<std::string> replaced;
    if (overlay)
        overlay_targets(state, data_file(state, "borland"), stub_dir, replaced);
    for (const std::string& name : names) {
        if (!paths::stays_inside(name)) {
            say(state, "Skipped stub header for <" + name + ">: its stub would lie outside " + stub_dir);
            continue;
        }
        if (without_header.count(name))
            continue;
        std::string dir = stub_dir;
        std::size_t start = 0;
        for (std::size_t at = name.find('/'); at != std::string::npos; at = name.find('/', at + 1)) {
            dir = paths::join(dir, name.substr(start, at - start));
            make_stub_directory(state, dir);
            start = at + 1;
        }
        const std::string path = paths::join(dir, name.substr(start));
        if (!replaced.count(state.plan.relative(path)) && !write_stub_file(state, path, system_stub_text(name)))
            return false;
    }

    if (overlay)
        return copy_directory(state, data_file(state, "borland"), stub_dir);
    return true;
}
