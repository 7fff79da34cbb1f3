// A program that leans on a dozen Boost libraries, compiled with -fsyntax-only.
#include <boost/shared_ptr.hpp>
#include <boost/make_shared.hpp>
#include <boost/optional.hpp>
#include <boost/variant.hpp>
#include <boost/thread.hpp>
#include <boost/filesystem.hpp>
#include <boost/lexical_cast.hpp>
#include <boost/format.hpp>
#include <boost/regex.hpp>
#include <boost/function.hpp>
#include <boost/bind/bind.hpp>
#include <boost/unordered_map.hpp>
#include <boost/date_time/posix_time/posix_time.hpp>
#include <boost/algorithm/string.hpp>
#include <boost/any.hpp>
#include <string>
#include <vector>

static int twice(int x)
{
    return 2 * x;
}

int main()
{
    boost::shared_ptr<std::string> text = boost::make_shared<std::string>("42");
    boost::optional<int> parsed = boost::lexical_cast<int>(*text);
    boost::variant<int, std::string> value = *parsed;
    boost::function<int(int)> f = boost::bind(&twice, boost::placeholders::_1);
    boost::unordered_map<std::string, int> counts;
    counts[boost::str(boost::format("%1%-%2%") % boost::get<int>(value) % f(1))] = 1;
    boost::regex digits("[0-9]+");
    bool matched = boost::regex_match(*text, digits);
    boost::filesystem::path here = boost::filesystem::current_path() / "x";
    boost::posix_time::ptime now = boost::posix_time::second_clock::local_time();
    boost::mutex m;
    boost::lock_guard<boost::mutex> lock(m);
    boost::thread worker([] {});
    worker.join();
    std::vector<std::string> parts;
    boost::algorithm::split(parts, here.string(), boost::algorithm::is_any_of("/"));
    boost::any anything = now;
    return matched && !parts.empty() && !anything.empty() ? 0 : 1;
}
