#include "first_few.h"

std::string first_few(const std::vector<std::string>& names, std::size_t count)
{
    std::string text;
    std::size_t shown = 0;
    for (; shown < names.size() && shown < first_few_named; ++shown)
        text += (shown ? ", " : "") + names[shown];
    if (count > shown)
        text += " and " + std::to_string(count - shown) + " more";
    return text;
}
