#include "fake_skeld_args.h"

std::vector<std::string> utf8_arguments(int argc, char** argv)
{
    return {argv, argv + argc};
}
