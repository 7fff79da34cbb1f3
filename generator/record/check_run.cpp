#include "check_run.h"

#include "first_few.h"
#include "output_lock.h"


int report_check(generator_state& state, const removal_report& removal, const personality_additions& added,
                 const std::vector<std::string>& record_reasons)
{
    const tree_plan& plan = state.plan;
    state.check.write = plan.written;
    state.check.remove = removal.removed;
    state.check.add = added.top.size() + added.end.size();
    state.check.record = !record_reasons.empty();
    if (plan.written == 0 && removal.removed == 0 && added.empty() && record_reasons.empty()) {
        say(state, "Up to date: a run would change nothing in " + state.config_output_loc + " or the personality.");
        return 0;
    }
    say(state, "A run would write " + std::to_string(plan.written) + " files and remove " +
                   std::to_string(removal.removed) + " files in " + state.config_output_loc + ", and add " +
                   std::to_string(added.top.size() + added.end.size()) + " lines to the personality.");
    if (plan.written)
        say(state, "Would write: " + first_few(plan.changed_paths));
    if (removal.removed)
        say(state, "Would remove: " + first_few(removal.removed_paths));
    for (const std::string& line : added.top)
        say(state, "Would add at the personality's top: " + line);
    for (const std::string& line : added.end)
        say(state, "Would add at the personality's end: " + line);
    for (const std::string& reason : record_reasons)
        say(state, "Would write the record anew: " + reason);
    return 1;
}

std::string check_summary_line(int status, const generator_state::check_findings& found)
{
    const char* why = status == 2 ? (found.refusal ? found.refusal : refused_error) : "none";
    return "Check: status=" + std::to_string(status) + " write=" + std::to_string(found.write) +
           " remove=" + std::to_string(found.remove) + " add=" + std::to_string(found.add) +
           " record=" + (found.record ? "1" : "0") + " refuse=" + why;
}

bool output_in_use_said(generator_state& state)
{
    if (!output_in_use(state.config_output_loc))
        return false;
    say(state, in_use_line(state.config_output_loc));
    state.check.refusal = refused_in_use;
    return true;
}

void refuse_missing_output(const std::string& output)
{
    if (platform::node_at(output) == platform::node_kind::missing)
        throw run_ended{"Error: " + output + " does not exist, so a run would fail. Please create the output folder "
                                             "first."};
    if (!platform::is_directory(output))
        throw run_ended{"Error: " + output + " is not a folder, so a run would fail."};
}

void refuse_unwritable_output(const std::string& output, bool changes)
{
    if (changes && !platform::can_create_in(output))
        throw run_ended{"Error: Skeld cannot create files in " + output + " (" + platform::last_error_text() +
                        "), so a run would fail."};
}

void refuse_uneditable_personality(const personality_file& personality, bool edit_needed)
{
    if (edit_needed && !personality.handle.writable())
        throw run_ended{"Error: Cannot open - " + personality.path + " for editing, so a run would fail."};
}
