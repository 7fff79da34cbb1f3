// Skeld --check: the whole run in memory, then what a run would change.
#pragma once

#include <string>
#include <vector>

#include "remove_recorded.h"
#include "generator_state.h"
#include "personality_update.h"

// Why a run would refuse, as the check's last line names it. A step that
// stops a run for one of these sets it in state.check.refusal before it ends
// the run; any other stop is "error".
inline constexpr const char* refused_other_personality = "other-personality";
inline constexpr const char* refused_in_use = "in-use";  // another run holds the output
inline constexpr const char* refused_error = "error";

// What a check says of the plan, the files a run would remove, the
// personality's additions and why the record would be written again (each
// a reason for people): nothing would change (0), or what would (1).
int report_check(generator_state& state, const removal_report& removal, const personality_additions& added,
                 const std::vector<std::string>& record_reasons);

// The check's last line, for programs: the status, the counts and the reason
// for a refusal.
std::string check_summary_line(int status, const generator_state::check_findings& found);

// A check takes no lock and makes no lock file; it only asks whether another
// run holds the output, and when one does says so and refuses (in-use).
[[nodiscard]] bool output_in_use_said(generator_state& state);

// Where a run would end with status 1 for what the output or the personality
// is, a check ends the run (run_ended) with the reason: 2, since it cannot
// tell what the run would change. An output that is missing or is not a
// folder; one that takes no new files, when the run would change it (an
// output with nothing to change is left alone, and the run succeeds); a
// personality the run must edit and cannot.
void refuse_missing_output(const std::string& output);
void refuse_unwritable_output(const std::string& output, bool changes);
void refuse_uneditable_personality(const personality_file& personality, bool edit_needed);
