// Skeld --check: the whole run in memory, then what a run would change.
#pragma once

#include "convergence.h"
#include "generator_state.h"
#include "personality_update.h"

// What a check says of the plan, the files a run would remove and the
// personality's additions: nothing would change (0), or what would (1).
int report_check(generator_state& state, const removal_report& removal, const personality_additions& added);

// A check takes no lock and makes no lock file; it only asks whether another
// run holds the output (then says so: a run would refuse).
[[nodiscard]] bool output_in_use_said(generator_state& state);
