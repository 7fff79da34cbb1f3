// Boost libraries that do not depend on the platform's API, compiled with
// -fsyntax-only under the analyser's configuration headers.
#include <boost/shared_ptr.hpp>
#include <boost/make_shared.hpp>
#include <boost/scoped_ptr.hpp>
#include <boost/optional.hpp>
#include <boost/variant.hpp>
#include <boost/lexical_cast.hpp>
#include <boost/function.hpp>
#include <boost/bind/bind.hpp>
#include <boost/unordered_map.hpp>
#include <boost/unordered_set.hpp>
#include <boost/format.hpp>
#include <boost/any.hpp>
#include <boost/tuple/tuple.hpp>
#include <boost/algorithm/string.hpp>
#include <boost/tokenizer.hpp>
#include <boost/container/flat_map.hpp>
#include <boost/date_time/gregorian/gregorian.hpp>
#include <boost/type_traits.hpp>
#include <boost/static_assert.hpp>
#include <string>
#include <vector>

static int twice(int x)
{
    return 2 * x;
}

int main()
{
    boost::shared_ptr<std::string> text = boost::make_shared<std::string>("21,2");
    boost::scoped_ptr<int> owned(new int(1));
    boost::tokenizer<boost::char_separator<char>> tokens(*text, boost::char_separator<char>(","));
    boost::optional<int> first = boost::lexical_cast<int>(*tokens.begin());
    boost::variant<int, std::string> value = *first;
    boost::function<int(int)> f = boost::bind(&twice, boost::placeholders::_1);
    boost::unordered_map<std::string, int> counts;
    boost::unordered_set<int> seen;
    seen.insert(f(boost::get<int>(value)));
    counts[boost::str(boost::format("%1%") % *owned)] = 1;
    boost::container::flat_map<int, std::string> names;
    names[1] = boost::algorithm::to_upper_copy(std::string("one"));
    boost::tuple<int, char> pair = boost::make_tuple(1, 'a');
    boost::gregorian::date day(2020, 2, 29);
    boost::any anything = day;
    BOOST_STATIC_ASSERT((boost::is_same<boost::remove_const<const int>::type, int>::value));
    return seen.count(42) == 1 && boost::get<0>(pair) == 1 && !anything.empty() ? 0 : 1;
}
