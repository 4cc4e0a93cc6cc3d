// The session: every accepted action with the session tick it came at, and
// checkpoints of the whole state, so that any earlier tick can be shown again
// exactly and the session written out and played again.
#include <algorithm>
#include <memory>

#include "core/form1.h"
#include "core/script_reader.h"

namespace maclab {

namespace {
// What a copy of the state adds to memory: the state itself, the texts of its
// controls that do not fit inside a string, and the chart samples it does not
// share with the checkpoint before it.
std::size_t BytesOf(const FormState& s, const FormState* before) {
    std::size_t bytes =
        sizeof(FormState) + s.History.BytesNotSharedWith(before ? &before->History : nullptr);
    const auto text = [&](const std::string& t) {
        if (t.capacity() > 15) bytes += t.capacity() + 16;
    };
    const auto control = [&](const Control& c) {
        text(c.Caption);
        text(c.ToolTip);
    };
    for (const ComboBox* box :
         {&s.cmbTopology, &s.cmbScheme, &s.cmbNodes, &s.cmbOT, &s.cmbLength}) {
        text(box->Text);
        bytes += box->List.capacity() * sizeof(std::string);
        for (const std::string& entry : box->List) text(entry);
    }
    // Every control's texts: walk the state's controls as laid out in memory
    // would be fragile, so count the station arrays and take the rest as one
    // control each of the longest kind.
    for (int i = 0; i < StationControls; ++i)
        for (const Control* c : {&s.cmdNode[i], &s.shpNode[i], &s.lneDrop[i], &s.lblTxStatus[i],
                                 &s.lblRxStatus[i], &s.lblQueued[i]})
            control(*c);
    bytes += 64 * 200; // the other controls' tooltips, generously
    return bytes;
}
} // namespace

void Form1::StartSession() {
    const std::uint64_t restores = Session.Restores;
    Session = SessionRecord{};
    Session.Restores = restores;
    Session.EndTick = SessionTick;
    TakeCheckpoint();
}

void Form1::TakeCheckpoint() {
    const FormState* before =
        Session.Checkpoints.empty() ? nullptr : &Session.Checkpoints.back().State;
    Checkpoint c{Session.Applied, BytesOf(*this, before), *this};
    Session.Bytes += c.Bytes;
    Session.Checkpoints.push_back(std::move(c));
    // Over budget: every other checkpoint goes (the first, at start-up, and
    // the last stay), and they are taken half as often from now on.
    while (Session.Bytes > CheckpointBudget && Session.Checkpoints.size() > 2) {
        // In place, so that memory never holds both the old and the new list.
        auto& cps = Session.Checkpoints;
        std::size_t to = 0;
        for (std::size_t k = 0; k < cps.size(); ++k)
            if (k % 2 == 0 || k + 1 == cps.size()) {
                if (to != k) cps[to] = std::move(cps[k]);
                ++to;
            }
        cps.resize(to);
        Session.Bytes = 0;
        for (std::size_t k = 0; k < Session.Checkpoints.size(); ++k) {
            Checkpoint& kept = Session.Checkpoints[k];
            kept.Bytes = BytesOf(kept.State, k > 0 ? &Session.Checkpoints[k - 1].State : nullptr);
            Session.Bytes += kept.Bytes;
        }
        Session.Spacing *= 2;
    }
}

void Form1::BeforeTick() {
    if (Session.Replaying) return;
    const FormState& last = Session.Checkpoints.back().State;
    if (SessionTick - last.SessionTick >= Session.Spacing) TakeCheckpoint();
}

void Form1::Record(const Action& action) {
    if (Session.Replaying) return;
    Session.Entries.push_back({SessionTick, action});
    Session.Applied = Session.Entries.size();
}

void Form1::DropFuture() {
    Session.Entries.resize(Session.Applied);
    Session.EndTick = SessionTick;
    auto& cps = Session.Checkpoints;
    while (cps.size() > 1 &&
           (cps.back().State.SessionTick > SessionTick || cps.back().Applied > Session.Applied)) {
        Session.Bytes -= cps.back().Bytes;
        cps.pop_back();
    }
    if (Session.PausedBySeek) {
        // The pause that going back made is part of the session from here on.
        Session.PausedBySeek = false;
        Record(Action::Click("cmdPause"));
    }
}

Verdict Form1::SeekTo(std::uint64_t tick) {
    if (tick > Session.EndTick) {
        // Later than the session has come: from its end the clock plays on.
        if (tick - Session.EndTick > static_cast<std::uint64_t>(MaxTicksPerCommand))
            return Verdict::Refused("tick count too large");
        if (Behind() || Session.PausedBySeek) {
            if (Verdict v = SeekTo(Session.EndTick); !v) return v;
            if (Session.PausedBySeek) {
                // Undo the pause that going there made: the clock runs on.
                Session.PausedBySeek = false;
                cmdPause_Click();
            }
        }
        if (!Timer1.Enabled)
            return Verdict::Refused("the clock is paused at tick " + std::to_string(SessionTick));
        while (SessionTick < tick)
            if (Verdict v = Do(Action::Interval()); !v) return v;
    } else {
        // The last checkpoint at or before the tick, then the session played
        // on from it, drawing nothing, up to that tick.
        const auto& cps = Session.Checkpoints;
        std::size_t c = cps.size() - 1;
        while (c > 0 && cps[c].State.SessionTick > tick) --c;
        Surface* const canvas = Canvas;
        Canvas = &NoDrawing;
        static_cast<FormState&>(*this) = cps[c].State;
        Session.Applied = cps[c].Applied;
        Session.Replaying = true;
        const auto& entries = Session.Entries;
        for (;;) {
            // The actions that came at this tick, up to one that runs a tick
            // of its own (Step) when this is the tick sought.
            bool stepped = false;
            while (Session.Applied < entries.size() && entries[Session.Applied].At == SessionTick) {
                const Action& a = entries[Session.Applied].What;
                if (SessionTick == tick && a == Action::Click("cmdStep")) break;
                const ControlEntry* control = nullptr;
                Check(a, control);
                ++Session.Applied;
                stepped = Apply(a, control).Ticked;
                if (stepped) break;
            }
            if (stepped) continue;
            if (SessionTick >= tick) break;
            Timer1_Timer();
        }
        Session.Replaying = false;
        Canvas = canvas;
    }
    ++Session.Restores;
    Session.PausedBySeek = false;
    if (Timer1.Enabled) {
        // Going back shows a moment; the clock waits there until told to run.
        cmdPause_Click();
        Session.PausedBySeek = true;
    }
    if (Canvas->Draws()) {
        // Drawn afresh, as if it had drawn all along.
        CatchUpShownCells();
        RedrawMedium();
        DrawsNow = true;
    }
    return {};
}

std::string Form1::SessionScript() const {
    std::string script = "# maclab session: replay with maclab-run, or open in maclab\n";
    std::uint64_t at = 0;
    const auto ticksTo = [&](std::uint64_t tick) {
        if (tick > at) script += "tick " + std::to_string(tick - at) + '\n';
        at = std::max(at, tick);
    };
    for (std::size_t k = 0; k < Session.Applied; ++k) {
        const SessionEntry& e = Session.Entries[k];
        ticksTo(e.At);
        script += ScriptLineOf(e.What) + '\n';
        if (e.What == Action::Click("cmdStep")) ++at;
    }
    ticksTo(SessionTick);
    if (Session.PausedBySeek) script += "click cmdPause\n";
    return script + "summary\n";
}

Verdict Form1::OpenSession(std::string_view script) {
    if (script.size() > MaxSessionText) return Verdict::Refused("a session holds at most 1 MB");
    // Played on a program of its own, so that this one stays as it is until
    // the whole session has proved sound.
    auto played = std::make_unique<Form1>();
    played->Form_Load();
    played->Session.TickAllowance = MaxOpenedTicks;
    long long lineNumber = 0;
    std::size_t pos = 0;
    while (pos < script.size()) {
        const std::size_t end = script.find('\n', pos);
        std::string_view line = script.substr(pos, end == std::string_view::npos ? end : end - pos);
        pos = end == std::string_view::npos ? script.size() : end + 1;
        ++lineNumber;
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ScriptLine command;
        std::string reason;
        const auto fault = [&](const std::string& why) {
            return Verdict::Refused("line " + std::to_string(lineNumber) + ": " + why);
        };
        if (!ReadScriptLine(line, command, reason)) return fault(reason);
        try {
            if (command.What == ScriptLine::Kind::Act) {
                if (Verdict v = played->Do(command.Act); !v) return fault(v.Reason);
            } else if (command.What == ScriptLine::Kind::Tick) {
                for (long long k = 0; k < command.Count && played->Timer1.Enabled; ++k)
                    if (Verdict v = played->Do(Action::Interval()); !v) return fault(v.Reason);
            }
        } catch (const std::exception& e) {
            return fault(e.what());
        }
    }
    // Taken over whole, paused at its end.
    static_cast<FormState&>(*this) = *played;
    Session = std::move(played->Session);
    Session.TickAllowance = ~std::uint64_t{0};
    if (Timer1.Enabled) Do(Action::Click("cmdPause"));
    ++Session.Restores;
    Canvas->Clear();
    if (Canvas->Draws()) {
        // Drawn afresh, as if it had drawn all along.
        CatchUpShownCells();
        RedrawMedium();
        DrawsNow = true;
    }
    return {};
}

void Form1::RedrawMedium() {
    Canvas->Clear();
    const Long B = BackColour;
    const int n = ActiveStations();
    if (Topology == TopoBus) {
        for (int c = 0; c < LastBusCell; ++c)
            if (BusShown[c] != B) DrawRing(BusX[c], 4800, 11, BusShown[c]);
        for (int i = 0; i < n; ++i)
            if (NodeTable[i].CellShown[0] != B)
                DrawRing(NodeTable[i].CellX[0], NodeTable[i].CellY[0], 11,
                         NodeTable[i].CellShown[0]);
        RepaintEndPiece(0);
        RepaintEndPiece(1);
        for (int i = 0; i < n; ++i) RepaintDropLine(i);
        return;
    }
    for (int i = 0; i < n; ++i) {
        const Node& s = NodeTable[i];
        for (int k = 0; k < PathLength; ++k)
            if (s.CellShown[k] != B)
                DrawRing(s.CellX[k], s.CellY[k], s.CellSize[k], s.CellShown[k]);
    }
    if (Topology == TopoStar && Shape1.BorderColor == 0) RepaintHub();
}

} // namespace maclab
