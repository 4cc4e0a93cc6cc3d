// A real Form1 started as the window starts it, with small helpers the station
// tests share: settings through the user's own actions, and a record of what
// each station put on the medium tick by tick.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/form1.h"
#include "runner/trace.h"

namespace maclab::testing {

class Station {
  public:
    Station() { f->Form_Load(); }

    Form1& form() { return *f; }
    Node& node(int i) { return f->NodeTable[i]; }

    void Topology(const std::string& name) { f->UserPick(f->cmbTopology, name); }
    void Scheme(const std::string& name) { f->UserEdit(f->cmbScheme, name); }
    void Nodes(int n) { f->UserPick(f->cmbNodes, Str(n)); }
    void Length(const std::string& text) { f->UserEdit(f->cmbLength, text); }
    // "Reliable" on or off.
    void Reliable(bool on) {
        if ((f->chkReliable.Value == 1) != on) f->UserToggle(f->chkReliable);
    }
    // "Random Backoff" on or off; the toggle can only be reached while
    // "Reliable" shows, and keeps its state when it is hidden again.
    void Random(bool on) {
        if ((f->chkRandom.Value == 1) == on) return;
        const bool reliable = f->chkReliable.Value == 1;
        if (!reliable) f->UserToggle(f->chkReliable);
        f->UserToggle(f->chkRandom);
        if (!reliable) f->UserToggle(f->chkReliable);
    }
    void Randoms(std::vector<float> values) {
        f->SetRandomSource(std::make_unique<CyclicSource>(std::move(values)));
    }
    void Queue(int from, int to, int length = 10) {
        f->QueuePacket(static_cast<Integer>(length), static_cast<Integer>(from),
                       static_cast<Integer>(to));
    }
    void Tick(int n = 1) {
        for (int k = 0; k < n; ++k) f->Timer1_Timer();
    }

    // The symbol a station put out, written as the runner writes symbols.
    std::string Symbol(Long c) const {
        std::string text;
        AppendSymbol(text, *f, c);
        return text;
    }
    // Runs n ticks and returns station i's outputs, one symbol per tick.
    std::vector<std::string> Outputs(int i, int n) {
        std::vector<std::string> out;
        for (int k = 0; k < n; ++k) {
            Tick();
            out.push_back(Symbol(f->NodeTable[i].Output));
        }
        return out;
    }
    // Ticks until the predicate holds (at most limit ticks); the tick count
    // when it first held, or -1.
    template <typename P> long RunUntil(P pred, int limit) {
        for (int k = 0; k < limit; ++k) {
            Tick();
            if (pred()) return f->TickCount;
        }
        return -1;
    }

  private:
    std::unique_ptr<Form1> f = std::make_unique<Form1>();
};

// Joins symbols with blanks, for readable comparisons.
inline std::string Join(const std::vector<std::string>& v) {
    std::string s;
    for (const auto& x : v) s += (s.empty() ? "" : " ") + x;
    return s;
}

} // namespace maclab::testing
