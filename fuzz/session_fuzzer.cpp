// libFuzzer target: arbitrary bytes opened as a saved session (a file or a
// link), on a program that is already running.
//
// Besides the sanitizers' own checks it holds opening to its promises: a
// faulty session is refused with one message naming its line and leaves the
// running program exactly as it was; a sound one is taken over paused, and
// the session it then writes opens again to the very same state.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/form1.h"
#include "core/script_reader.h"

namespace {

// Opening may play up to ten million ticks, which takes seconds: a legitimate
// session, not a fault.  Inputs that ask for more than a few thousand ticks
// (tick lines and seeks together) are passed over.
constexpr long long TickBudget = 3000;

bool WithinTickBudget(std::string_view script) {
    long long total = 0;
    std::size_t pos = 0;
    while (pos < script.size()) {
        std::size_t end = script.find('\n', pos);
        if (end == std::string_view::npos) end = script.size();
        maclab::ScriptLine line;
        std::string reason;
        if (maclab::ReadScriptLine(script.substr(pos, end - pos), line, reason)) {
            if (line.What == maclab::ScriptLine::Kind::Tick) total += line.Count;
            if (line.What == maclab::ScriptLine::Kind::Act &&
                line.Act.What == maclab::Action::Kind::Seek)
                total += line.Act.Tick > TickBudget ? TickBudget + 1
                                                    : static_cast<long long>(line.Act.Tick);
        }
        if (total > TickBudget) return false;
        pos = end + 1;
    }
    return true;
}

maclab::Form1& Running() {
    static maclab::Form1* form = [] {
        auto* f = new maclab::Form1;
        f->Form_Load();
        f->Do(maclab::Action::Click("cmdStart", 0));
        for (int k = 0; k < 200; ++k) f->Do(maclab::Action::Interval());
        return f;
    }();
    return *form;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!WithinTickBudget(text)) return -1;
    maclab::Form1& form = Running();
    const maclab::FormState before = form;
    const maclab::Verdict opened = form.OpenSession(text);
    if (!opened) {
        const bool named =
            opened.Reason.rfind("line ", 0) == 0 || opened.Reason == "a session holds at most 1 MB";
        if (!named || !(static_cast<const maclab::FormState&>(form) == before)) std::abort();
        return 0;
    }
    if (form.Timer1.Enabled) std::abort(); // taken over paused
    const std::string again = form.SessionScript();
    maclab::Form1 copy;
    copy.Form_Load();
    if (!copy.OpenSession(again)) std::abort();
    if (!(static_cast<const maclab::FormState&>(copy) == form)) std::abort();
    // Back to where the next input expects to start.
    if (!form.OpenSession("click cmdStart 0\ntick 200\n")) std::abort();
    return 0;
}
