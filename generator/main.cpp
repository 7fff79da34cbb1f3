#include "run_sequence.h"

int main(int argc, char* argv[])
{
    generator_state state;
    return run_skeld(state, argc, argv);
}
