// The session: the one way in records every accepted action, going back shows
// exactly the state the live run had, and a written session plays again to
// the same traces.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/form1.h"
#include "core/script_reader.h"
#include "runner/script.h"

namespace maclab {
namespace {

// A random session as a user might make it: settings, toggles, clicks, keys
// and runs of intervals, some of them refused (hidden controls) on the way.
std::vector<Action> RandomActions(unsigned seed, int count) {
    std::mt19937 r(seed);
    const auto pick = [&](std::vector<std::string> v) { return v[r() % v.size()]; };
    std::vector<Action> actions;
    for (int k = 0; k < count; ++k) {
        switch (r() % 12) {
        case 0:
            actions.push_back(
                Action::Pick("cmbTopology", pick({"Star", "Ring", "Bus", "Space", "Wide Space"})));
            break;
        case 1:
            actions.push_back(Action::Pick(
                "cmbScheme", pick({"ALOHA", "Slotted ALOHA", "CSMA", "CSMA/CD", "CSMA/CD + R",
                                   "Token Passing", "Polling", "RTS/CTS"})));
            break;
        case 2:
            actions.push_back(Action::Edit("cmbOT", pick({"0.05", "0.4", "2.0", "0"})));
            break;
        case 3:
            actions.push_back(Action::Pick("cmbNodes", pick({" 3", " 8", " 24"})));
            break;
        case 4:
            actions.push_back(Action::Toggle(pick({"chkReliable", "chkRandom", "chkStatus"})));
            break;
        case 5:
            actions.push_back(Action::Click("cmdStart", static_cast<int>(r() % 2)));
            break;
        case 6:
            actions.push_back(Action::Key(pick({"Space", "Right", "S", "F"})));
            break;
        case 7:
            actions.push_back(Action::Click("cmdNode", static_cast<int>(r() % 24)));
            break;
        case 8:
            // Paused, a few steps, and on again.
            actions.push_back(Action::Key("Space"));
            for (unsigned n = r() % 4; n > 0; --n) actions.push_back(Action::Key("Right"));
            actions.push_back(Action::Click("cmdStep"));
            actions.push_back(Action::Key("Space"));
            break;
        default:
            for (unsigned n = r() % 400; n > 0; --n) actions.push_back(Action::Interval());
            break;
        }
    }
    return actions;
}

// What going back changes besides the moment itself: the clock stays paused.
FormState Paused(FormState s) {
    s.Timer1.Enabled = false;
    s.cmdPause.Caption = "Cont";
    s.cmdStep.Visible = true;
    s.cmdBack.Visible = true;
    return s;
}

// The live run: the state right before some of its ticks (every action that
// came before that tick done), which action came next then, and its end.
struct LiveRun {
    std::map<std::uint64_t, std::pair<FormState, std::size_t>> before;
    FormState end;
};

bool WillTick(const Form1& f, const Action& a) {
    if (a.What == Action::Kind::Interval) return f.Timer1.Enabled;
    const bool step = (a.What == Action::Kind::Click && a.Control == "cmdStep") ||
                      (a.What == Action::Kind::Key && a.Control == "Right");
    return step && f.cmdStep.Visible;
}

LiveRun Play(Form1& f, const std::vector<Action>& actions, const std::set<std::uint64_t>& at) {
    LiveRun run;
    for (std::size_t k = 0; k < actions.size(); ++k) {
        if (WillTick(f, actions[k]) && at.count(f.SessionTick) && !run.before.count(f.SessionTick))
            run.before.emplace(f.SessionTick, std::make_pair(FormState(f), k));
        f.Do(actions[k]);
    }
    run.end = f;
    return run;
}

// For random sessions: going back to any earlier tick gives, whole, the state
// the live run had there (paused); going forward to the end gives the end;
// playing on from an earlier tick with the same actions ends in the same
// state as the live run.
TEST(Session, GoingBackShowsExactlyTheStateTheRunHad) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<Action> actions = RandomActions(seed, 140);
        Form1 first;
        first.Form_Load();
        const std::uint64_t ticks = Play(first, actions, {}).end.SessionTick;
        ASSERT_GT(ticks, 300u);
        std::mt19937 r(seed);
        std::vector<std::uint64_t> trials;
        for (int k = 0; k < 6; ++k) trials.push_back(r() % ticks);
        Form1 live;
        live.Form_Load();
        const LiveRun run = Play(live, actions, {trials.begin(), trials.end()});
        for (const std::uint64_t t : trials) {
            SCOPED_TRACE(t);
            ASSERT_TRUE(live.Do(Action::Seek(t)));
            const FormState& then = run.before.at(t).first;
            ASSERT_EQ(live.SessionTick, t);
            EXPECT_TRUE(Paused(live) == Paused(then));
            if (!then.Timer1.Enabled) {
                EXPECT_TRUE(static_cast<FormState&>(live) == then);
            }
            ASSERT_TRUE(live.Do(Action::Seek(ticks)));
            EXPECT_TRUE(Paused(live) == Paused(run.end));
        }
        // Back once more, then on with the same actions: the same end.
        const std::uint64_t t = trials.back();
        ASSERT_TRUE(live.Do(Action::Seek(t)));
        if (run.before.at(t).first.Timer1.Enabled) {
            ASSERT_TRUE(live.Do(Action::Click("cmdPause")));
        }
        for (std::size_t k = run.before.at(t).second; k < actions.size(); ++k) live.Do(actions[k]);
        EXPECT_TRUE(static_cast<FormState&>(live) == run.end);
    }
}

// A script line for an action, a key written as the click it makes.
std::string LineOf(const Form1& f, const Action& a) {
    if (a.What == Action::Kind::Interval) return "tick 1";
    if (a.What != Action::Kind::Key) return ScriptLineOf(a);
    const ControlEntry* e = f.KeyControl(a.Control);
    return ScriptLineOf(e->Type == ControlEntry::Kind::Toggle
                            ? Action::Toggle(std::string(e->Name))
                            : Action::Click(std::string(e->Name), e->Index));
}

std::string Played(const std::string& script) {
    std::ostringstream out, err;
    EXPECT_EQ(RunScript(script, out, err), ScriptSucceeded) << err.str() << script;
    return out.str();
}

// The recorded session, written out and played by maclab-run, gives the same
// tick lines, panel and summary as the accepted actions played one by one;
// opened, it gives the same state.
TEST(Session, AWrittenSessionPlaysToTheSameTraceAndOpensToTheSameState) {
    for (unsigned seed = 11; seed <= 16; ++seed) {
        SCOPED_TRACE(seed);
        Form1 live;
        live.Form_Load();
        std::string accepted;
        std::vector<Action> actions = RandomActions(seed, 120);
        actions.push_back(Action::Random({0.25f, 0.5f, 0.75f}));
        actions.push_back(Action::Click("cmdNode", 1));
        actions.push_back(Action::Interval());
        for (const Action& a : actions) {
            const std::string line = LineOf(live, a);
            if (live.Do(a)) accepted += line + "\n";
        }
        const std::string script = live.SessionScript();
        EXPECT_EQ(Played("trace ticks on\n" + script + "show\n"),
                  Played("trace ticks on\n" + accepted + "summary\nshow\n"));
        Form1 opened;
        opened.Form_Load();
        ASSERT_TRUE(opened.OpenSession(script));
        const bool running = live.Timer1.Enabled;
        EXPECT_TRUE(Paused(opened) == Paused(live));
        if (!running) {
            EXPECT_TRUE(static_cast<FormState&>(opened) == live);
        }
    }
}

// A session file is untrusted: a faulty one names its line and the reason and
// leaves the running program exactly as it was.
TEST(Session, AFaultySessionLeavesTheProgramAsItWas) {
    Form1 f;
    f.Form_Load();
    f.Do(Action::Click("cmdStart", 0));
    for (int k = 0; k < 50; ++k) f.Do(Action::Interval());
    const FormState before = f;
    const std::uint64_t restores = f.Restores();
    const std::pair<std::string, std::string> cases[] = {
        {"pick cmbNodes  7\nclick cmdStart 0\ntick 10\ntoggle chkRandom\n",
         "line 4: control is hidden"},
        {"click cmdStart 0\ntick 5\nclick nothing\n", "line 3: unknown button"},
        {"tick 2147483648\n", "line 1: tick count too large"},
        {std::string(Form1::MaxSessionText + 1, '#'), "a session holds at most 1 MB"},
        {"pick cmbTopology Bu", "line 1: not a list entry"}};
    for (const auto& [script, reason] : cases) {
        const Verdict v = f.OpenSession(script);
        EXPECT_FALSE(v);
        EXPECT_EQ(v.Reason, reason);
        EXPECT_TRUE(static_cast<const FormState&>(f) == before);
        EXPECT_EQ(f.Restores(), restores);
    }
}

} // namespace
} // namespace maclab
