// Where a record's paths lead. A run keeps the output as the user spelt it
// and as it resolved then; a tree is the folder it lies in, however either
// was spelt, and a record whose output was another folder came with a copy.
#pragma once

#include <string>

#include "personality_update.h"
#include "system_stubs.h"
#include "tree_record.h"

// The output the record was written for, resolved: the record's own
// resolved line, else (an earlier Skeld's record) its spelling resolved from
// the folder Skeld runs in.
std::string recorded_output_folder(const tree_record& record);

// Whether the record was written for the folder output: false for a record
// that came with a copy or a move.
bool record_is_for(const tree_record& record, const std::string& output);

// A directory test that reads the record's spelling of its output (and of its
// system folder) as the folder it resolved to, so that lines the record
// accounts for are matched wherever Skeld runs from; other paths as on disk.
// A record written for another folder than output lends its spelling nothing.
same_directory_test same_directory_through(const tree_record* record, const std::string& output);
// The disk's search with that directory test.
header_search search_through(const tree_record* record, const std::string& output);
