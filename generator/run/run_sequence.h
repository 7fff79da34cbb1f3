// The whole generator run, from the command line to the exit status.
#pragma once

#include "generator_state.h"

int run_skeld(generator_state& state, int argc, const char* const argv[]);
