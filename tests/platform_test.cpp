// The platform module on the disk, on every build: what the generator relies on.
#include <gtest/gtest.h>

#include <algorithm>
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
