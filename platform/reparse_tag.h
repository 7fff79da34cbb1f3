// Which Windows reparse points are links. Only a name surrogate (symbolic
// links, junctions, mount points: the tag's name-surrogate bit) names
// another place; a cloud placeholder, a deduplicated file and the other tags
// are the file or folder they stand for, read and deleted as such (a
// placeholder is fetched when its bytes are read). Pure: the rule's table
// runs on every build.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr std::uint32_t name_surrogate_bit = 0x20000000u;

// tag: the reparse point's tag; 0 where the system did not say which (Wine
// tells a host's link only by its attribute), which counts as a link.
constexpr bool reparse_point_is_link(std::uint32_t tag)
{
    return tag == 0 || (tag & name_surrogate_bit) != 0;
}

}  // namespace platform
