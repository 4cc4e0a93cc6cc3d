// Scenario scripts: how lines are read, what each command prints, and every
// kind of script error.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "runner/script.h"

using namespace maclab;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result Play(const std::string& script) {
    std::ostringstream out, err;
    const int status = RunScript(script, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The line of `show` output that starts with `prefix`.
std::string ShowLine(const std::string& out, const std::string& prefix) {
    for (const std::string& line : Lines(out))
        if (line.rfind(prefix, 0) == 0) return line;
    return "";
}

std::string IdleTickLine(int t, int stations) {
    std::string line = "t=" + std::to_string(t);
    for (int i = 0; i < stations; ++i) line += " " + std::to_string(i) + ":1,1,0,0,0,0,0,0,.,.";
    return line + " | q=0 s=0 r=0";
}

} // namespace

TEST(RunnerScript, StartsLikeTheWindow) {
    const Result r = Play("show\nsummary\n");
    EXPECT_EQ(r.status, ScriptSucceeded);
    EXPECT_EQ(r.err, "");
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u + 24u + 1u);
    EXPECT_EQ(lines[0],
              R"(texts topology="Star" nodes=" 7" length=" 10" scheme="ALOHA" ot=" 0.1")");
    EXPECT_EQ(
        lines[1],
        R"(buttons start="Start" pause="Pause" speed="Slow" status="Show Status" )"
        R"(reliable="Unreliable" random="Random Backoff" random_shown=0 timer=1 interval=100 running=0)");
    EXPECT_EQ(lines[2], R"(totals tx="0" rx="0" queued="0" util=" 0" eff=" 0" dropped="0")");
    EXPECT_EQ(lines[3], "decor bus=0 ends=0 hub=1 path=8");
    for (int i = 7; i < 24; ++i) EXPECT_EQ(lines[4 + i], "node " + std::to_string(i) + " shown=0");
    EXPECT_EQ(lines[28], "summary t=0 q=0 s=0 r=0");
}

TEST(RunnerScript, LinesBlanksCommentsAndLineEnds) {
    // Comments, blank lines, CR LF endings, tabs and runs of blanks between
    // words, leading zeros, and a last line without its line feed.
    const Result r = Play("# a comment\r\n\r\n   \t\n\t  # indented comment\n"
                          "\t trace \t ticks   on \r\n"
                          "tick 0002\t \n"
                          "summary");
    EXPECT_EQ(r.status, ScriptSucceeded) << r.err;
    EXPECT_EQ(r.out,
              IdleTickLine(1, 7) + "\n" + IdleTickLine(2, 7) + "\nsummary t=2 q=0 s=0 r=0\n");
    EXPECT_EQ(Play("").out, "");
    // Only a carriage return before a line feed is part of the line end.
    EXPECT_EQ(Play("summary\r\n").status, ScriptSucceeded);
    EXPECT_EQ(Play("summary\r").err, "line 1: unknown command\n");
}

TEST(RunnerScript, EditKeepsItsTextVerbatim) {
    Result r = Play("edit cmbScheme CSMA/CD + R\nedit cmbOT  0.5 \nedit cmbLength\nshow\n");
    ASSERT_EQ(r.status, ScriptSucceeded) << r.err;
    EXPECT_EQ(ShowLine(r.out, "texts"),
              R"(texts topology="Star" nodes=" 7" length="" scheme="CSMA/CD + R" ot=" 0.5 ")");
    // A text may hold tabs, quotes and a carriage return that is not the line's last character.
    r = Play("edit cmbTopology \t\"Ring\"\r \r\nshow\n");
    EXPECT_EQ(ShowLine(r.out, "texts topology="), "texts topology=\"\t\"Ring\"\r \" nodes=\" 7\" "
                                                  "length=\" 10\" scheme=\"ALOHA\" ot=\" 0.1\"");
    // Only the one blank after the control name separates; a second one is text.
    r = Play("edit cmbNodes  3\nshow\n");
    EXPECT_EQ(ShowLine(r.out, "texts"),
              R"(texts topology="Star" nodes=" 3" length=" 10" scheme="ALOHA" ot=" 0.1")");
    EXPECT_NE(ShowLine(r.out, "node 2 shown=1"), "");
    EXPECT_EQ(ShowLine(r.out, "node 3 "), "node 3 shown=0");
}

TEST(RunnerScript, PickRunsOnlyTheListPickHandler) {
    // Picking the topology in use does not reset; editing to it does.
    Result r = Play("tick 5\npick cmbTopology Star\nsummary\nedit cmbTopology Star\nsummary\n");
    EXPECT_EQ(r.out, "summary t=5 q=0 s=0 r=0\nsummary t=0 q=0 s=0 r=0\n");
    r = Play(
        "pick cmbOT 2.0\npick cmbLength  200\npick cmbNodes  24\npick cmbScheme Polling\nshow\n");
    ASSERT_EQ(r.status, ScriptSucceeded) << r.err;
    EXPECT_EQ(ShowLine(r.out, "texts"),
              R"(texts topology="Star" nodes=" 24" length=" 200" scheme="Polling" ot="2.0")");
}

TEST(RunnerScript, StepRunsOneTracedTickWhilePaused) {
    const Result r = Play("click cmdPause\ntrace ticks on\nclick cmdStep\nclick cmdStep\n"
                          "trace ticks off\nclick cmdStep\nclick cmdPause\nsummary\n"
                          "click cmdStep\n");
    EXPECT_EQ(r.out,
              IdleTickLine(1, 7) + "\n" + IdleTickLine(2, 7) + "\nsummary t=3 q=0 s=0 r=0\n");
    // Running again, the Step button is gone.
    EXPECT_EQ(r.err, "line 9: control is hidden\n");
}

TEST(RunnerScript, TicksOnlyWhileTheTimerRuns) {
    const Result r = Play("trace ticks on\ntick 1\nclick cmdPause\ntick 1000\nclick cmdPause\ntick "
                          "1\ntrace ticks off\ntick 3\n"
                          "summary\n");
    EXPECT_EQ(r.out,
              IdleTickLine(1, 7) + "\n" + IdleTickLine(2, 7) + "\nsummary t=5 q=0 s=0 r=0\n");
    // With no station the tick line has no station entries.
    EXPECT_EQ(Play("edit cmbNodes 0\ntrace ticks on\ntick 1\n").out, "t=1 | q=0 s=0 r=0\n");
}

TEST(RunnerScript, ControlsAndButtonsReachTheForm) {
    const Result r =
        Play("toggle chkReliable\ntoggle chkRandom\ntoggle chkSpeed\ntoggle chkStatus\n"
             "click cmdStart 0\nclick cmdPause\nshow\nclick cmdStart 1\nsummary\n");
    ASSERT_EQ(r.status, ScriptSucceeded) << r.err;
    EXPECT_EQ(
        ShowLine(r.out, "buttons"),
        R"(buttons start="Stop" pause="Cont" speed="Fast" status="Hide Status" reliable="Reliable" )"
        R"(random="Constant Backoff" random_shown=1 timer=0 interval=10 running=1)");
    EXPECT_NE(ShowLine(r.out, "node 6 shown=1").find(" labels=1 "), std::string::npos);
}

TEST(RunnerScript, ScriptErrorsNameTheLineAndStopThere) {
    const struct {
        std::string line;
        std::string reason;
    } cases[] = {
        {"jump", "unknown command"},
        {"Show", "unknown command"},
        {"show now", "too many words"},
        {"summary 1", "too many words"},
        {"pick", "missing control"},
        {"pick\tcmbNodes  7", "expected one blank after the command word"},
        {"edit  cmbNodes 7", "missing control"},
        {"edit cmbnodes 7", "unknown combo box"},
        {"pick chkSpeed x", "unknown combo box"},
        {"pick cmbNodes 7", "not a list entry"},
        {"pick cmbNodes  25", "not a list entry"},
        {"pick cmbScheme CSMA/CD + r", "not a list entry"},
        {"pick cmbOT 0.1 ", "not a list entry"},
        {"click", "missing control"},
        {"click cmdStart", "missing index"},
        {"click cmdStart 2", "index out of range"},
        {"click cmdStart -1", "malformed number"},
        {"click cmdStart 0 0", "too many words"},
        {"click cmdPause 0", "cmdPause takes no index"},
        {"click cmdStep", "control is hidden"},
        {"click cmdStep 0", "cmdStep takes no index"},
        {"click cmdNode", "missing index"},
        {"click cmdNode 7", "control is hidden"},
        {"click cmdNode 24", "index out of range"},
        {"click cmdNode " + std::string(1000, '9'), "index out of range"},
        {"click cmdNode 1x", "malformed number"},
        {"click chkSpeed", "unknown button"},
        {"toggle", "missing control"},
        {"toggle chkRandom", "control is hidden"},
        {"toggle chkSpeed 1", "too many words"},
        {"toggle cmdPause", "unknown toggle"},
        {"tick", "missing word"},
        {"tick -1", "malformed number"},
        {"tick +1", "malformed number"},
        {"tick 1.5", "malformed number"},
        {"tick 1e3", "malformed number"},
        {"tick 2147483648", "tick count too large"},
        {"tick 99999999999999", "tick count too large"},
        {"tick " + std::string(1000, '9') + "x", "malformed number"},
        {"tick 1 2", "too many words"},
        {"rng", "missing value"},
        {"rng 1", "random value not below 1"},
        {"rng 0.5 1.0", "random value not below 1"},
        {"rng 0.99999999", "random value not below 1"}, // rounds to 1 in single precision
        {"rng 0.5e1", "random value not below 1"},
        {"rng 1e999", "random value not below 1"},
        {"rng 0." + std::string(400, '0') + "1e800", "random value not below 1"},
        {"rng -0.5", "malformed number"},
        {"rng +0.5", "malformed number"},
        {"rng 5.", "malformed number"},
        {"rng .", "malformed number"},
        {"rng 0.5e", "malformed number"},
        {"rng 0.5e+", "malformed number"},
        {"rng 0,5", "malformed number"},
        {"rng 0x0.1", "malformed number"},
        {"rng nan", "malformed number"},
        {"trace", "missing word"},
        {"trace ticks", "missing word"},
        {"trace ticks yes", "expected on or off"},
        {"trace all on", "expected ticks or draw"},
        {"trace draw on off", "too many words"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.substr(0, 40));
        const Result r = Play("summary\n\n" + c.line + "\nsummary\n");
        EXPECT_EQ(r.status, ScriptFailed);
        EXPECT_EQ(r.err, "line 3: " + c.reason + "\n");
        EXPECT_EQ(r.out, "summary t=0 q=0 s=0 r=0\n"); // nothing after the faulty line
    }
}

TEST(RunnerScript, RandomValuesAreAcceptedInEveryWrittenForm) {
    const std::vector<std::string> forms = {"0",
                                            "0.5",
                                            ".5",
                                            "00.25",
                                            "5e-1",
                                            "5E-1",
                                            "25e-2",
                                            "0.0001e+2",
                                            "1e-999",
                                            "9." + std::string(2, '9') + "e-1",
                                            "0.999999",
                                            "0.00" + std::string(500, '0') + "1",
                                            std::string(400, '9') + "e-401"};
    for (const std::string& values : forms) {
        SCOPED_TRACE(values.substr(0, 40));
        const Result r = Play("rng " + values + " 0.7\nclick cmdNode 3\n");
        EXPECT_EQ(r.status, ScriptSucceeded) << r.err;
    }
}

TEST(RunnerScript, ScriptedDrawsDecideDestinations) {
    // Station 3 of 7: 0.5 falls on 3 itself and is drawn again, 0.7 gives 4.
    // With 0.1 only, station 2 always reaches station 0.
    const Result r = Play(
        "rng 0.5 0.7\nclick cmdNode 3\nrng 0.1\nclick cmdNode 2\ntoggle chkStatus\ntick 1\nshow\n");
    ASSERT_EQ(r.status, ScriptSucceeded) << r.err;
    EXPECT_EQ(ShowLine(r.out, "totals"),
              R"(totals tx="0" rx="0" queued=" 2" util=" 0" eff=" 0" dropped="0")");
}

TEST(RunnerScript, EndlessDestinationRedrawIsAScriptError) {
    // A single value that always lands on the clicked station.
    Result r = Play("summary\nrng 0.5\nclick cmdNode 3\nsummary\n");
    EXPECT_EQ(r.status, ScriptFailed);
    EXPECT_EQ(r.err, "line 3: endless destination redraw\n");
    EXPECT_EQ(r.out, "summary t=0 q=0 s=0 r=0\n");

    // Inside a tick: the arrivals of a run draw it; the ticks before it keep
    // their lines and the failing tick prints none.  0.4 makes every station
    // pick itself, and at this offered traffic every station gets a packet.
    r = Play(
        "click cmdStart 0\nedit cmbOT 1000000\ntrace ticks on\ntick 2\nrng 0.4\ntick 5\nsummary\n");
    EXPECT_EQ(r.status, ScriptFailed);
    EXPECT_EQ(r.err, "line 6: endless destination redraw\n");
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("t=1 ", 0), 0u);
    EXPECT_EQ(lines[1].rfind("t=2 ", 0), 0u);
}

TEST(RunnerScript, ArbitraryScriptsNeverBreakTheRunner) {
    // Scripts built from the command vocabulary with random arguments: every
    // one ends with status 0 or 2, and a failing one names exactly one line.
    const std::vector<std::string> pieces = {"pick cmbNodes  2",
                                             "pick cmbNodes  24",
                                             "edit cmbNodes ",
                                             "edit cmbNodes 1e999",
                                             "edit cmbNodes 3",
                                             "edit cmbLength 3",
                                             "edit cmbLength -5",
                                             "edit cmbOT 2.0",
                                             "edit cmbOT 1000000",
                                             "pick cmbScheme CSMA",
                                             "pick cmbTopology Bus",
                                             "pick cmbTopology Ring",
                                             "pick cmbTopology Space",
                                             "pick cmbTopology Wide Space",
                                             "edit cmbScheme CSMA/CD + R",
                                             "pick cmbScheme Token Passing",
                                             "pick cmbScheme Polling",
                                             "pick cmbScheme RTS/CTS",
                                             "pick cmbScheme CSMA/CD",
                                             "pick cmbScheme Slotted ALOHA",
                                             "click cmdStart 0",
                                             "click cmdStart 1",
                                             "click cmdPause",
                                             "click cmdNode 0",
                                             "click cmdNode 1",
                                             "click cmdNode 2",
                                             "toggle chkReliable",
                                             "toggle chkRandom",
                                             "toggle chkStatus",
                                             "toggle chkSpeed",
                                             "tick 1",
                                             "tick 37",
                                             "rng 0.5",
                                             "rng 0.1 0.9 0.3",
                                             "rng 0",
                                             "trace ticks on",
                                             "trace draw on",
                                             "trace ticks off",
                                             "trace draw off",
                                             "show",
                                             "summary",
                                             "#",
                                             "",
                                             "bogus"};
    std::mt19937 generator(12345);
    int completed = 0;
    for (int script = 0; script < 1000; ++script) {
        std::string text;
        const int length = 1 + static_cast<int>(generator() % 25);
        for (int k = 0; k < length; ++k) text += pieces[generator() % pieces.size()] + "\n";
        const Result r = Play(text);
        ASSERT_TRUE(r.status == ScriptSucceeded || r.status == ScriptFailed) << text;
        if (r.status == ScriptFailed) {
            EXPECT_EQ(Lines(r.err).size(), 1u) << text;
            EXPECT_EQ(r.err.rfind("line ", 0), 0u) << text;
        } else {
            EXPECT_EQ(r.err, "") << text;
            ++completed;
        }
    }
    // Most scripts must run to their end, or the deeper states go untried.
    EXPECT_GT(completed, 300);
}
