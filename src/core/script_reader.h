// Reading the lines of a script (what maclab-run plays, and what a saved
// session holds) into actions and the runner's own commands.
#pragma once

#include <string>
#include <string_view>

#include "core/action.h"

namespace maclab {

// The largest count a single `tick N` accepts: the most ticks the tick counter
// can hold.  A larger count is a script error rather than a run that never ends.
constexpr long long MaxTicksPerCommand = 2147483647;

struct ScriptLine {
    enum class Kind {
        Nothing,    // a blank line or a comment
        Act,        // a user's action (pick, edit, click, toggle, rng) or a seek
        Tick,       // Count intervals of the clock
        TraceTicks, // tick lines on or off (On)
        TraceDraw,  // draw lines on or off (On)
        Show,
        Summary,
        Save,
    };
    Kind What = Kind::Nothing;
    Action Act;
    long long Count = 0;
    bool On = false;
};

// Reads one line (without its line end).  False, with the reason in plain
// words, when the line is malformed; whether its control exists and can be
// worked is for Form1::Do to say.
bool ReadScriptLine(std::string_view line, ScriptLine& out, std::string& reason);

// A line of script that makes the action (pick, edit, click, toggle, rng).
std::string ScriptLineOf(const Action& action);

} // namespace maclab
