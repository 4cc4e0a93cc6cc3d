// Scenario scripts: the user's actions as lines of text, played on a freshly
// started Form1, with what the user would see printed as text.
#pragma once

#include <iosfwd>
#include <string_view>

#include "core/script_reader.h"

namespace maclab {

constexpr int ScriptSucceeded = 0;
constexpr int ScriptFailed = 2;

// Starts the program as the window does (Form1, then Form_Load) and runs the
// script line by line, printing traces, snapshots and summaries to `out`.
// Returns ScriptSucceeded when the script ran to its end.  On the first faulty
// line it writes "line N: REASON" to `err`, runs nothing after it and returns
// ScriptFailed; output printed before the fault stays.  Never throws for any
// input, and holds no memory beyond what the script's own text needs.
int RunScript(std::string_view script, std::ostream& out, std::ostream& err);

} // namespace maclab
