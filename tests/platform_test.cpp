// The platform module on the disk, on every build: what the generator relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "platform.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

TEST(Platform, ListingStatusAndDirectories)
{
    scratch_dir dir;
    write_file(dir / "a.hpp", "a");
    fs::create_directory(dir / "sub");
    const std::string root = dir.path().string();

    platform::directory_listing listing;
    ASSERT_TRUE(listing.open(root));
    std::vector<std::string> names;
    while (listing.next()) {
        names.push_back(listing.name());
        if (listing.name() == "sub") {
            EXPECT_NE(listing.kind(), platform::entry_kind::file);
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "a.hpp", "sub"}));
    EXPECT_FALSE(platform::directory_listing().open((dir / "missing").string()));

    EXPECT_EQ(platform::node_at((dir / "a.hpp").string()), platform::node_kind::regular);
    EXPECT_EQ(platform::node_at((dir / "sub").string()), platform::node_kind::directory);
    EXPECT_EQ(platform::node_at((dir / "missing").string()), platform::node_kind::missing);
    EXPECT_TRUE(platform::is_directory((dir / "sub").string()));
    EXPECT_TRUE(platform::is_file((dir / "a.hpp").string()));
    EXPECT_FALSE(platform::is_file((dir / "sub").string()));  // a search skips a directory of the header's name
    EXPECT_FALSE(platform::is_file((dir / "missing").string()));
    EXPECT_TRUE(platform::make_directory((dir / "new").string()));
    EXPECT_FALSE(platform::make_directory((dir / "new").string()));
    EXPECT_FALSE(platform::make_directory((dir / "missing/deeper").string()));  // one level only

    platform::file_identity a, a_again, sub;
    ASSERT_TRUE(platform::identify((dir / "a.hpp").string(), a));
    ASSERT_TRUE(platform::identify((dir / "sub/../a.hpp").string(), a_again));
    ASSERT_TRUE(platform::identify((dir / "sub").string(), sub));
    EXPECT_EQ(a, a_again);
    EXPECT_FALSE(a == sub);
    EXPECT_FALSE(platform::program_directory().empty());
}

TEST(Platform, FilesAreReadWrittenReplacedAndLocked)
{
    scratch_dir dir;
    const std::string path = (dir / "f.txt").string();
    {
        platform::file file;
        ASSERT_TRUE(file.create_new(path));
        ASSERT_TRUE(file.write("new text", 8));
        ASSERT_TRUE(file.sync());
        ASSERT_TRUE(file.close());
    }
    EXPECT_FALSE(platform::file().create_new(path));  // never opens what is there
    {
        platform::file file;
        ASSERT_TRUE(file.create_or_empty(path));
        ASSERT_TRUE(file.write("x", 1));
    }
    EXPECT_EQ(read_file(dir / "f.txt"), "x");

    platform::file held;
    ASSERT_EQ(held.open_for_update(path), platform::file::open_status::ok);
    EXPECT_TRUE(held.writable());
    std::string bytes;
    ASSERT_TRUE(held.read_all(bytes));
    EXPECT_EQ(bytes, "x");
    EXPECT_TRUE(held.try_lock());
    platform::file second;
    ASSERT_EQ(second.open_for_update(path), platform::file::open_status::ok);
    EXPECT_FALSE(second.try_lock());  // another holder, even in this process

    EXPECT_EQ(platform::file().open_for_reading(dir.path().string()), platform::file::open_status::not_regular);
    EXPECT_EQ(platform::file().open_for_reading((dir / "missing").string()), platform::file::open_status::cannot_open);

    write_file(dir / "g.txt", "replacement");
    ASSERT_TRUE(held.close() && second.close());
    ASSERT_TRUE(platform::replace_file((dir / "g.txt").string(), path));
    EXPECT_EQ(read_file(dir / "f.txt"), "replacement");
    EXPECT_FALSE(fs::exists(dir / "g.txt"));
    EXPECT_TRUE(platform::remove_file(path));
    EXPECT_FALSE(fs::exists(dir / "f.txt"));
}

TEST(Platform, OnlyFilesOnADiskAreOpenedForReading)
{
    scratch_dir dir;
    write_file(dir / "a.hpp", "a");
    fs::create_directory(dir / "sub");
    // The null device by the name each system gives it: opened, it answers at
    // once, but it is no file of the tree.
    const std::string device = platform::path_separator == '\\' ? "NUL" : "/dev/null";
    for (const std::string& path : {device, (dir / "sub").string()}) {
        platform::file file;
        EXPECT_EQ(file.open_for_reading(path), platform::file::open_status::not_regular) << path;
        EXPECT_EQ(platform::file().open_for_update(path), platform::file::open_status::not_regular) << path;
    }
    platform::file file;
    ASSERT_EQ(file.open_for_reading((dir / "a.hpp").string()), platform::file::open_status::ok);
    std::string bytes;
    ASSERT_TRUE(file.read_all(bytes));
    EXPECT_EQ(bytes, "a");
}

TEST(Platform, AnOutputFileIsEmptiedInPlaceOnlyWhenItIsItsOwn)
{
    scratch_dir dir;
    write_file(dir / "own.hpp", "an earlier run's text\n");
    write_file(dir / "original.hpp", "original\n");
    fs::create_hard_link(dir / "original.hpp", dir / "second-name.hpp");
    fs::create_directory(dir / "taken.hpp");
    platform::file_identity own_before, own_after, second_before, second_after;
    ASSERT_TRUE(platform::identify((dir / "own.hpp").string(), own_before));
    ASSERT_TRUE(platform::identify((dir / "second-name.hpp").string(), second_before));

    for (const char* name : {"own.hpp", "second-name.hpp"}) {
        platform::file file;
        ASSERT_TRUE(file.create_or_empty((dir / name).string())) << name;
        ASSERT_TRUE(file.write("new\n", 4));
        ASSERT_TRUE(file.close());
        EXPECT_EQ(read_file(dir / name), "new\n");
    }
    ASSERT_TRUE(platform::identify((dir / "own.hpp").string(), own_after));
    ASSERT_TRUE(platform::identify((dir / "second-name.hpp").string(), second_after));
    EXPECT_EQ(own_after, own_before);           // emptied, not replaced
    EXPECT_FALSE(second_after == second_before);  // a file of its own now
    EXPECT_EQ(read_file(dir / "original.hpp"), "original\n");
    EXPECT_FALSE(platform::file().create_or_empty((dir / "taken.hpp").string()));
    EXPECT_TRUE(fs::is_directory(dir / "taken.hpp"));
}

TEST(Platform, IdentitiesAgreeHoweverTheyAreAsked)
{
    // Below a directory identified already, and by an open file's handle, or
    // through a path never seen before: one file, one identity.
    scratch_dir dir;
    fs::create_directories(dir / "sub/deeper");
    write_file(dir / "sub/deeper/a.hpp", "a");
    const std::string root = dir.path().string();
    const std::string sep(1, platform::path_separator);
    platform::file_identity listed_root, deeper, deeper_again, a, a_by_handle, sub, sub_elsewhere;
    ASSERT_TRUE(platform::identify(root, listed_root));
    ASSERT_TRUE(platform::identify(root + sep + "sub", sub));
    ASSERT_TRUE(platform::identify(root + sep + "sub" + sep + "deeper", deeper));
    ASSERT_TRUE(platform::identify(root + sep + "sub" + sep + "deeper" + sep + "a.hpp", a));
    ASSERT_TRUE(platform::identify(root + sep + "sub" + sep + "deeper" + sep + ".." + sep + "deeper", deeper_again));
    ASSERT_TRUE(platform::identify(root + sep + "sub" + sep + "deeper" + sep + "..", sub_elsewhere));
    platform::file file;
    ASSERT_EQ(file.open_for_reading((dir / "sub/deeper/a.hpp").string()), platform::file::open_status::ok);
    ASSERT_TRUE(file.identify(a_by_handle));
    EXPECT_EQ(a, a_by_handle);
    EXPECT_EQ(deeper, deeper_again);
    EXPECT_EQ(sub, sub_elsewhere);
    EXPECT_FALSE(sub == deeper);
    EXPECT_FALSE(listed_root == sub);
}

TEST(Platform, TheChangeStampMovesWithTheContentWhateverItsWriteTime)
{
    // A header rewritten or replaced with its old write time put back, as
    // an archive or a copy that keeps times leaves it: read again.
    scratch_dir dir;
    const fs::path header = dir / "a.hpp";
    write_file(header, "#include <a.h>\n");
    const auto write_time = fs::last_write_time(header);
    auto stamp = [&] {
        platform::file file;
        std::uint64_t by_handle = 0, by_path = 1;
        EXPECT_EQ(file.open_for_reading(header.string()), platform::file::open_status::ok);
        EXPECT_TRUE(file.change_stamp(by_handle));
        EXPECT_TRUE(platform::change_stamp(header.string(), by_path));
        EXPECT_EQ(by_handle, by_path);  // a first run's stamp is a re-run's
        return by_handle;
    };
    std::uint64_t before = stamp();
    EXPECT_EQ(stamp(), before);
    const std::function<void()> changes[] = {
        [&] { write_file(header, "#include <b.h>\n"); },  // in place, the same size
        [&] {
            write_file(dir / "new.hpp", "#include <c.h>\n");
            fs::rename(dir / "new.hpp", header);
        },
    };
    for (const auto& change : changes) {
        change();
        fs::last_write_time(header, write_time);
        const std::uint64_t after = stamp();
        EXPECT_NE(after, before);
        before = after;
    }
}
