// Which reparse tags are links: only name surrogates (and a tag the system
// did not give), never a placeholder or a deduplicated file.
#include <gtest/gtest.h>

#include "reparse_tag.h"

namespace {

TEST(ReparseTag, OnlyNameSurrogatesAreLinks)
{
    struct row {
        const char* name;
        std::uint32_t tag;
        bool link;
    };
    const row rows[] = {
        {"symbolic link", 0xA000000Cu, true},
        {"junction or mount point", 0xA0000003u, true},
        {"WSL symbolic link", 0xA000001Du, true},
        {"none given (Wine)", 0u, true},
        {"cloud placeholder", 0x9000001Au, false},
        {"cloud placeholder, a variant", 0x9000101Au, false},
        {"cloud placeholder, another variant", 0x9000F01Au, false},
        {"deduplicated file", 0x80000013u, false},
        {"container isolation", 0x80000018u, false},
        {"AF_UNIX socket", 0x80000023u, false},
        {"app execution alias", 0x8000001Bu, false},
        {"single-instance store", 0x80000007u, false},
        {"OneDrive", 0x80000021u, false},
    };
    for (const row& r : rows)
        EXPECT_EQ(platform::reparse_point_is_link(r.tag), r.link) << r.name;
}

}  // namespace
