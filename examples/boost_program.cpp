// A program of platform-independent Boost libraries, for trying a personality
// with a compiler standing in for the analyser.
#include <boost/any.hpp>
#include <boost/function.hpp>
#include <boost/lexical_cast.hpp>
#include <boost/optional.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/make_shared.hpp>
#include <boost/unordered_map.hpp>
#include <boost/variant.hpp>

#include <string>

int main()
{
    boost::shared_ptr<int> shared = boost::make_shared<int>(42);
    boost::optional<int> maybe = *shared;
    boost::variant<int, std::string> either = std::string("x");
    boost::function<int(int)> twice = [](int n) { return 2 * n; };
    boost::unordered_map<std::string, int> counts{{"a", 1}};
    boost::any anything = counts;
    return twice(*maybe) + boost::lexical_cast<int>("1") + static_cast<int>(either.which()) +
           static_cast<int>(boost::any_cast<boost::unordered_map<std::string, int>>(anything).size());
}
