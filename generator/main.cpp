#include "platform.h"
#include "run_sequence.h"

int main(int argc, char* argv[])
{
    const platform::program_arguments arguments(argc, argv);
    platform::console_in_utf8();
    generator_state state;
    return run_skeld(state, arguments.count(), arguments.values());
}
