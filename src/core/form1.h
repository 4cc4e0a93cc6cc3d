// The main window's whole state, free of any windowing toolkit.
//
// Form1 owns the settings, the counters, the medium, the 25 station records
// and a plain model of every control.  Its procedures are spread over the
// source folders by concern: core/ (state, tick, medium, traffic, statistics,
// drawing), schemes/ (the station step), network/ (reset, layout, palette) and
// panel/ (start-up and the handlers of user actions).  The window and the
// headless runner both drive this same object.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/action.h"
#include "core/controls.h"
#include "core/history.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/random.h"
#include "core/surface.h"

namespace maclab {

constexpr int StationRecords = 25;  // NodeTable(0 To 24)
constexpr int StationControls = 24; // per-station controls exist for 0..23
constexpr int QueueSlots = 101;     // QueueLength(0 To 100)
constexpr int PathCells = 25;       // OutPath(0 To 24)
constexpr int BusCells = 27;        // BusLeft(0 To 26)
// The bus is cells 0..25; cell 26 only takes what leaves its right end.
constexpr int LastBusCell = BusCells - 1;

constexpr int LegendRows = 9; // rows of the legend of the medium's colours

constexpr Long CollisionColour = 255; // pure red: garbled
constexpr Long EndMarker = 0;         // black: end of a frame

// Transmitter states.
enum : Long {
    TxIdle = 1,
    TxWaitingForCTS = 2,
    TxWaitingForACK = 3,
    TxWaitingForOK = 4,
    TxOK2Send = 5,
    TxSending = 6,
    TxSendingControl = 7,
    TxSendingAck = 8, // an acknowledgement sent while waiting (from 3 or 4)
    TxFinishing = 9,
    TxAckSent1 = 10,
    TxFinished = 11,
    TxAckSent2 = 12,
    TxNetworkBusy = 13,
    TxCollided = 14,
};

// Receiver states.
enum : Long { RxIdle = 1, RxReceiving = 2, RxStripping = 3, RxMonitoring = 4 };

// Control frame kinds.
enum : Long { CtlRTS = 1, CtlCTS = 2, CtlToken = 3, CtlAck = 4 };

// One station record.  The scalars that every station step reads come
// first, so that a step touches few cache lines.
struct Node {
    Long TxState = TxIdle;
    Long RxState = RxIdle;
    Integer QueueCount = 0;
    Integer ControlPending = 0;
    Long TxProgress = 0; // widened to 32 bits so no count can wrap in a long run
    Long RxProgress = 0;
    Long DataColour = 0;
    Long AddressColour = 0;
    Long DarkColour = 0;
    Long RxCount = 0;
    Long TxCount = 0;
    Long Heard = 0;
    Long Heard1 = 0;
    Long Heard2 = 0;
    Long Output = 0;
    Integer BusCell = 0;
    Integer HoldsToken = VbFalse;
    Long TxTimer = 0;
    Integer CtlPeer = 0;
    Integer RxPeer = 0;
    Integer RxValid = VbFalse;

    // --- Per-station bookkeeping of the station step (cleared by ClearNodes) ---
    // Collisions of the head packet under "CSMA/CD + R" (binary exponential backoff).
    Integer CollisionCount = 0;
    // The frame on the air (TxProgress > 0) was started by the control-frame sender.
    bool ControlOnAir = false;
    // The reception in progress opened on the station's own address (not on white).
    bool RxOpenedOnOwn = false;
    // Ring: steps left during which the station passes nothing on.
    Integer RingHoldOff = 0;
    // Ring: the station cut into a passing frame and swallows its tail.
    bool RingCutIn = false;
    // The acknowledgement on the air was started during a collision backoff,
    // which goes on when it ends.
    bool AckFromBackoff = false;
    // Sequence numbers in reliable mode: packets that have left the queue,
    // the number of the data frame last started, and, per sender, the number
    // of the last frame delivered from it (-1: none yet).
    Long TxSeq = 0;
    Long FrameSeq = 0;
    std::array<Long, StationRecords> LastSeq{};
    // Frames received again after their acknowledgement was lost.
    Long RxDuplicates = 0;
    // Packets that have left the queue since the last reset, by reason.
    enum LeftReason : int {
        LeftAcknowledged = 0, // the acknowledgement was heard
        LeftUnacknowledged,   // sent whole in unreliable mode
        LeftAborted,          // cut short by a collision in unreliable mode
        LeftDropped,          // given up after too many collisions
        LeftReasons
    };
    std::array<Long, LeftReasons> QueueLeft{};

    // --- The cells of the station's paths, read in every medium step ---
    std::array<Long, PathCells> OutPath{};
    std::array<Long, PathCells> InPath{};
    std::array<Long, PathCells> CellShown{};
    // --- The queue and the pending control frame (the head is entry 0) ---
    std::array<Integer, QueueSlots> QueueLength{};
    std::array<Integer, QueueSlots> QueueDest{};
    std::array<Long, QueueSlots> ControlKind{}; // only entry 0 is used
    std::array<Integer, QueueSlots> ControlDest{};
    // --- Where the cells are drawn, set by the layout ---
    std::array<Long, PathCells> CellX{};
    std::array<Long, PathCells> CellY{};
    std::array<Integer, PathCells> CellSize{};

    bool operator==(const Node&) const = default;
};

// The settings that the rules consult while the network runs.  Each is
// defined by a control (the scheme box's text, the offered-traffic box's
// number, the three toggles) and copied from it, typed, at the moment that
// control changes, so that a tick never compares or parses a text.
struct SettingsCopy {
    Scheme CurrentScheme = Scheme::Other; // named by cmbScheme
    double OfferedTraffic = 0;            // cmbOT's number, clamped to 0..1000000
    int Reliable = 0;                     // chkReliable's state
    int RandomBackoff = 0;                // chkRandom's state
    int StatusShown = 0;                  // chkStatus's state
    bool operator==(const SettingsCopy&) const = default;
};

// A station's state in the words of the status table (DescribeStation).
struct StationStatus {
    std::string Sender;   // "idle", "sends data", "waits for ACK (45)", ...
    std::string Receiver; // "idle", "receives", "hears own frame"
    std::string Queue;    // "queued 3", or "queued 3 + ACK" with a control frame waiting
    Long Dropped = 0;     // its packets that left the queue undelivered since the reset
};

// Everything the program is at one moment: settings, counters, the medium,
// the station records, the model of every control, the random generator's
// position and what the tick keeps to save work.  It is a plain value: a copy
// taken between two ticks and put back later resumes the run exactly, and
// two states compare equal as a whole.
struct FormState {
    // ===== Settings and counters =====
    Integer PathLength = 0;
    Integer PollNext = 1;
    double NodeCount = 0;
    double PacketLength = 0;
    Long TickCount = 0;
    std::array<Long, BusCells> BusX{};
    std::array<Long, BusCells> BusLeft{};
    std::array<Long, BusCells> BusRight{};
    std::array<Long, BusCells> BusShown{};
    Long HubColour = 0;
    Integer HubSource = -1;
    std::int64_t TotalQueued = 0;
    std::int64_t TotalReceived = 0;
    Long TotalSent = 0;    // widened to 32 bits
    Long TotalDropped = 0; // packets given up or cut off by a collision
    std::array<Node, StationRecords> NodeTable{};
    // Utilisation, efficiency and waiting packets every tenth tick since the
    // last reset, for the charts.
    RunHistory History;
    Integer Running = VbFalse;
    Integer Topology = TopoStar;
    Long BackColour = 0;
    Long ColourGrey224 = 0, ColourGrey240 = 0, ColourGrey192 = 0, ColourGrey248 = 0,
         ColourWhite = 0;
    Integer RingNext = 0;

    // Persistent variables of single procedures (never reset).
    Long HubColourPrev = 0;
    Long HubColourPrev2 = 0;
    Integer PaletteIndex = 0;

    // ===== Controls =====
    Control Form; // the window itself: BackColor is the background
    Control Label14, Label4, Label1, Label3, Label13, Label5;
    ComboBox cmbTopology, cmbScheme, cmbNodes, cmbOT, cmbLength;
    Control chkSpeed, chkStatus, chkReliable, chkRandom;
    std::array<Control, 2> cmdStart;
    Control cmdPause;
    Control Label6, lblTotalTx, Label7, lblTotalRx, Label8, lblTotalQueued;
    Control Label10, lblUtilisation, Label9, Label12, lblEfficiency, Label11;
    Control Label15, lblTotalDropped;
    Control Label2;
    // The classroom additions: one tick at a time while paused, the tick
    // count, the legend of the medium's colours, the charts beside the network.
    Control cmdStep, lblTick, chkLegend, chkChart;
    // One tick back, shown with Step while the clock is paused.
    Control cmdBack;
    // Marks inside the rings so that no symbol is told by colour alone, and
    // each station's radio reach (Space and Wide Space only).  No rule reads
    // them; the front ends draw while they are pressed.
    Control chkSymbols, chkReach;
    std::array<Control, LegendRows> shpLegend, lblLegend;
    Control shpLegendBox;
    Control Line1;
    std::array<Control, 2> Shape4;
    Control Shape1;
    std::array<Control, StationControls> cmdNode, shpNode, lneDrop;
    std::array<Control, StationControls> lblTxStatus, lblRxStatus, lblQueued;
    TimerModel Timer1;
    // The area under the network picture and the colour that silence is
    // shown in there (the rules know silence only as BackColour; every front
    // end paints a silent cell of the medium in Medium.BackColor).
    Control Medium;

    // The typed copy of the settings the rules read.
    SettingsCopy Settings;
    // Ticks run since start-up, resets included: the session's clock.
    std::uint64_t SessionTick = 0;

    bool operator==(const FormState&) const = default;

  protected:
    // The program's own generator, and the values a script makes it return
    // instead (in turn, from Next), when it has set any.
    Mt19937 OwnRandom;
    std::vector<float> ScriptedValues;
    std::size_t ScriptedNext = 0;

    // ----- What the tick keeps to know which work it may leave out -----
    // The last whole tick found the network at rest (AtRest), with these
    // settings; anything but a tick that could change that clears it.
    bool Resting = false;
    SettingsCopy RestingSettings;
    Integer RestingRunning = VbFalse;
    // Whether the surface draws in the medium step under way, and whether the
    // records of what cells show lag behind after steps that drew nothing.
    bool DrawsNow = true;
    bool ShownBehind = false;
    // Who hears whom over radio, for the places in RadioLinksFor: entry
    // d * StationRecords + c is bit k alone when listener d hears station c
    // after k cells, 0 when c is out of range (or d itself).
    std::array<std::uint32_t, StationRecords * StationRecords> RadioHears{};
    // The same table turned around: for each delay k, entry d has bit c set
    // when listener d hears station c after k cells.  Rows are padded to a
    // whole number of vector lanes, the padding always 0.
    static constexpr int RadioLanes = 32;
    std::array<std::array<std::uint32_t, RadioLanes>, PathCells> RadioHearsAt{};
    struct RadioPlaces {
        int Stations = -1;
        int Length = -1;
        std::array<Long, StationRecords> X{}, Y{};
        bool operator==(const RadioPlaces&) const = default;
    } RadioLinksFor;
};

class Form1 : public FormState {
  public:
    Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // ===== Platform services =====
    // Where the tick draws; never null.  The owner of the surface outlives its use.
    void SetSurface(Surface* surface) { Canvas = surface ? surface : &NoDrawing; }
    Surface& Drawing() { return *Canvas; }
    // Replace the random source for a test; null returns to the state's own.
    void SetRandomSource(std::unique_ptr<RandomSource> source) { Rng = std::move(source); }
    // From now on every draw returns the next of these values, in turn,
    // starting again after the last (a script makes every random decision
    // itself); the values are part of the state.  Empty: the program's own
    // generator again.
    void SetRandomValues(std::vector<float> values) {
        ScriptedValues = std::move(values);
        ScriptedNext = 0;
    }
    // The next uniform random number in [0, 1).
    float Rnd() {
        if (Rng) return Rng->Next();
        if (!ScriptedValues.empty()) {
            const float v = ScriptedValues[ScriptedNext];
            ScriptedNext = ScriptedNext + 1 == ScriptedValues.size() ? 0 : ScriptedNext + 1;
            return v;
        }
        return UnitFloat(OwnRandom());
    }
    // Passes over count random numbers exactly as count calls of Rnd() would.
    void SkipRandom(std::uint64_t count) {
        if (Rng)
            Rng->Skip(count);
        else if (!ScriptedValues.empty())
            ScriptedNext = (ScriptedNext + count % ScriptedValues.size()) % ScriptedValues.size();
        else
            OwnRandom.Skip(count);
    }
    // Number of values after which the random source repeats, 0 if it does not.
    std::size_t RandomPeriod() const { return Rng ? Rng->Period() : ScriptedValues.size(); }

    // ===== The typed copy of the settings the rules read =====
    // A tick at rest (see AtRest) does only what it can change; off, every
    // tick does all its work (for comparing the two).
    bool RestShortcut = true;
    // Whether the next tick will take that shortcut (the last found it at rest).
    bool AtRestNow() const { return Resting; }
    // The copy as the controls define it now (the rules read Settings, which
    // every change of those controls keeps equal to this).
    SettingsCopy SettingsFromControls() const;

    // ===== The table of controls =====
    // Every control of the window, bottom to top as they are stacked (a front
    // end that creates them in this order overlaps them as the window does).
    const std::vector<ControlEntry>& Controls() const { return ControlTable; }
    // The entry of a control by name (and index, for a member of an array),
    // or nullptr.
    const ControlEntry* FindControl(std::string_view name, int index = -1) const;
    // The button or toggle a key works, or nullptr.
    const ControlEntry* KeyControl(std::string_view key) const;
    // The entry whose model is the given control, or nullptr.
    const ControlEntry* EntryOf(const Control& model) const;
    // The three status labels of a station (0..23).
    std::array<Control*, 3> StatusLabels(int i) {
        return {&lblTxStatus[i], &lblRxStatus[i], &lblQueued[i]};
    }
    // Number of stations that take part (NodeCount as a whole number).
    int ActiveStations() const {
        const int n = CInt(NodeCount);
        if (n < 0) return 0;
        return n > StationRecords ? StationRecords : n;
    }

    // ===== core/ =====
    void ClearNodes();
    void Timer1_Timer();
    void MediumStep();
    void MediumBus();
    void MediumStar();
    void MediumRing();
    void MediumSpace();
    void QueuePacket(Integer length, Integer source, Integer destination);
    Integer PickDestination(Integer source);
    void RandomArrivals();
    void RefreshStatistics();
    // The two figures of the statistics labels, in per cent and unrounded.
    double UtilisationPercent() const;
    double EfficiencyPercent() const;
    void DrawRing(Long x, Long y, Integer size, Long colour) {
        Canvas->DrawRing(x, y, size, colour);
    }
    void DrawBusSegment(Long x, Long y) { Canvas->DrawBusSegment(x, y); }
    void DrawBusTap(int i);
    void DrawStarSpokes(int i);
    void DrawPathCells(int i);
    void RepaintEndPiece(int index);
    void RepaintHub();
    void RepaintDropLine(int i);

    // ===== schemes/ =====
    void StepNode(Integer i);
    void QueueControl(Long kind, Integer i, Integer dest);
    void CancelControl(Integer i);

  private:
    // The working values of one call of StepNode.
    struct StepWork;
    void NodeShapeEcho(int i);
    void ReceiveSymbol(int i, StepWork& w);
    void CarrierRule(int i, StepWork& w);
    void RtsCtsRules(int i, StepWork& w);
    void SendControlFrame(int i, StepWork& w);
    bool SendDecision(int i, const StepWork& w);
    void SendDataFrame(int i, StepWork& w);
    void CollisionAbort(int i, StepWork& w);
    void AgeAfterFrame(int i);
    void EndFrame(int i, StepWork& w);
    void AckTimer(int i);
    void RemoveHeadPacket(int i, StepWork& w);
    void PassRight(int i, StepWork& w);
    void RingRepeater(int i);
    void ShowStatus(int i);
    // The last active station whose address is the colour, or 0 when none is.
    Integer StationWithAddress(Long colour) const;
    // Radio delay in cells between two stations (Space and Wide Space).
    long long RadioDelay(int a, int b) const;

  public:
    // ===== network/ =====
    void ResetNetwork();
    void LayoutNetwork();
    void LayoutBus(int last);
    void LayoutStar(int last);
    void LayoutRing(int last);
    void LayoutSpace(int last);
    void BuildPalette();
    void AddPaletteColour(double red, double green, Long blue);

    // ===== panel/ =====
    void Form_Load();
    void FillSettingLists();
    void cmdStart_Click(int index);
    void cmdPause_Click();
    void chkSpeed_Click();
    void chkStatus_Click();
    void cmdNode_Click(int index);
    void cmbNodes_Change();
    void cmbNodes_Click();
    void cmbLength_Change();
    void cmbLength_Click();
    void cmbScheme_Change();
    void cmbScheme_Click();
    void cmbTopology_Change();
    void cmbTopology_Click();
    void chkRandom_Click();
    void chkReliable_Click();
    void cmdStep_Click();
    void cmdBack_Click();
    void chkLegend_Click();
    void chkChart_Click();
    void chkSymbols_Click();
    void chkReach_Click();

    // What only a person looking at the window needs, brought up to date:
    // the tick counter and the stations' tooltips.  Front ends call it before
    // they show the model; the rules never read what it writes.
    void RefreshView();

    // ===== What a person is told (panel/station_view.cpp) =====
    // Read from the records as they stand, at any moment; nothing is written.
    StationStatus DescribeStation(int i) const;
    // The station's packets that left its queue undelivered since the reset.
    Long StationDropped(int i) const;
    // How far a radio station is heard on Space and Wide Space, in twips
    // from its centre (CellX(0), CellY(0)); 0 on the other topologies.
    double RadioReach() const;
    // Whether an active station hears another one over radio.
    bool RadioHearsStation(int listener, int talker) const;

    // ===== The one way in =====
    // Every action of a user enters here: it is checked against the controls
    // as they stand (an unknown or hidden control, an index out of range, a
    // text not in the list...), then applied and recorded in the session, or
    // refused with the reason.  Going back (Seek, the Back button and its
    // key) moves within the session and is not recorded.
    Verdict Do(const Action& action);

    // Sets the network up as the configuration says, through the actions a
    // user would take (picks where the list has the value, typed texts
    // otherwise, the backoff reached through Reliable when it is hidden);
    // the network is reset.  Refused for a configuration out of range.
    Verdict Apply(const NetworkConfig& config);

    // ===== The session =====
    // Forgets the session and starts recording afresh from the state as it
    // stands (start-up calls it).
    void StartSession();
    // The session as a maclab-run script up to the current point: the actions
    // with `tick N` lines between them, then `summary`.  Played by maclab-run
    // it gives the same traces; opened, the same state.
    std::string SessionScript() const;
    // Plays a saved session (a script) from start-up, off screen.  When every
    // line is sound the program takes the result, paused at its end;
    // otherwise it stays exactly as it was and the verdict names the first
    // faulty line and the reason ("line 3: unknown button").
    Verdict OpenSession(std::string_view script);
    // The latest session tick recorded; SessionTick is where the program is.
    std::uint64_t SessionEnd() const { return Session.EndTick; }
    // The program stands at an earlier point of its session than its end.
    bool Behind() const {
        return Session.Applied < Session.Entries.size() || SessionTick < Session.EndTick;
    }
    // The accepted actions of the whole session (also those ahead of the
    // current point while it is behind).
    const std::vector<SessionEntry>& SessionEntries() const { return Session.Entries; }
    // How many times the state was put back (a seek or an opened session): a
    // front end that sees it change shows everything afresh.
    std::uint64_t Restores() const { return Session.Restores; }
    // Memory the checkpoints hold, and how many there are.
    std::size_t CheckpointBytes() const { return Session.Bytes; }
    std::size_t CheckpointCount() const { return Session.Checkpoints.size(); }
    // At most this many bytes of checkpoints; further ones thin out the old.
    static constexpr std::size_t CheckpointBudget = 64u << 20;
    // Longest session an opened file or link may play, in ticks.
    static constexpr std::uint64_t MaxOpenedTicks = 10000000;
    // Largest session text an opened file or link may hold.
    static constexpr std::size_t MaxSessionText = 1u << 20;

    // Assigning a combo box's text from code: the text changes, then its
    // text-change handler runs (as a user's edit does).
    void SetComboText(ComboBox& box, const std::string& text);

    // ===== User actions (the window and the runner enter here) =====
    // The user picks a list entry: the box shows it, only the list-pick handler runs.
    void UserPick(ComboBox& box, const std::string& entry);
    // The user replaces the text of a box: the text-change handler runs once.
    void UserEdit(ComboBox& box, const std::string& text);
    // The user clicks a toggle: its state flips, then its handler runs.
    void UserToggle(Control& toggle);
    // The user clicks a button (a member of an array with its own index).
    void UserClick(const ControlEntry& button);

  private:
    // ----- The session: every accepted action, checkpoints of the state -----
    struct Checkpoint {
        std::size_t Applied = 0; // session entries applied to the state
        std::size_t Bytes = 0;
        FormState State;
    };
    struct SessionRecord {
        std::vector<SessionEntry> Entries;
        std::size_t Applied = 0;
        std::uint64_t EndTick = 0;
        std::vector<Checkpoint> Checkpoints;
        std::size_t Bytes = 0;
        std::uint64_t Spacing = 4096;
        // The clock was running at the point moved to and was paused there.
        bool PausedBySeek = false;
        bool Replaying = false;
        std::uint64_t Restores = 0;
        // Ticks left to an opened session (counted down while it plays).
        std::uint64_t TickAllowance = ~std::uint64_t{0};
    } Session;
    // The effect of an accepted action, without checks or recording.
    Verdict Apply(const Action& action, const ControlEntry* control);
    // Checks an action against the controls; the control it works, if any.
    Verdict Check(const Action& action, const ControlEntry*& control) const;
    void Record(const Action& action);
    // A tick is about to run: a checkpoint when one is due.
    void BeforeTick();
    void TakeCheckpoint();
    // Forgets what lay ahead of the current point (a new action came there).
    void DropFuture();
    Verdict SeekTo(std::uint64_t tick);
    // The whole medium drawn afresh from the records of what each cell shows.
    void RedrawMedium();

    void BuildControlTable();
    void DesignClassroomControls();
    void WriteToolTips();
    void AssignKeys();
    // The scheme box shows in red, with a warning, a text that names no scheme.
    void MarkSchemeText();
    // A number box shows in red, saying what is used instead, a text that is
    // not taken as typed.
    void MarkNumberText(ComboBox& box);
    // The backoff toggle is shown exactly while a rule of the current scheme
    // and mode reads it.
    void ShowBackoffToggle();
    void FillLegend();
    // Timer1 on or off; the Step button is shown exactly while it is off.
    void EnableTimer(bool on);
    // A combo box's text or a toggle's state has just changed: the copy of
    // the setting it defines follows.
    void ControlChanged(const Control& control);
    void WriteText(ComboBox& box, const std::string& text);

    std::vector<ControlEntry> ControlTable;
    NullSurface NoDrawing;
    Surface* Canvas = &NoDrawing;
    // A source of random numbers set by a test, used instead of the state's own.
    std::unique_ptr<RandomSource> Rng;

    // ----- Work the tick may leave out -----
    bool AtRest(int n) const;
    void CatchUpShownCells();
    bool RadioLinksFit(int n, int L) const;
    void FindRadioLinks(int n, int L);
};

} // namespace maclab
