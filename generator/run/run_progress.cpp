#include "run_progress.h"

namespace {

// A line every half per cent at most: a large tree would otherwise print
// one line per file, and each line is a write to a pipe.
constexpr std::size_t shares = 200;

}  // namespace

void run_progress::step(std::string_view name, std::size_t done, std::size_t total)
{
    if (!out_)
        return;
    step_ = name;
    done_ = done;
    total_ = total < done ? done : total;
    print();
}

void run_progress::handled(std::size_t done)
{
    if (!out_ || step_.empty())  // the files before the first step are too few to show
        return;
    done_ = done;
    if (total_ < done_)
        total_ = done_;  // more than the step expected: never past the end
    if (done_ * shares / total_ != shown_)
        print();
}

void run_progress::finish()
{
    if (!out_)
        return;
    step_ = "done";
    total_ = done_ = total_ < done_ ? done_ : total_;
    print();
}

void run_progress::print()
{
    shown_ = total_ ? done_ * shares / total_ : 0;
    *out_ << "Progress: " << step_ << ' ' << done_ << ' ' << total_ << '\n';
    out_->flush();
}
