// The soundness of a Form1 after every step of a long random session:
//  - the node count is 0 or a whole 2..24, and the records past the last
//    active station stay idle (silent output, idle cells, empty queue);
//  - PathLength is at most 24, every QueueCount within 0..101, HubSource -1 or
//    an active station, and the rules' typed copy of the settings equals
//    what the controls say;
//  - the packets of every station are accounted for: packets queued there
//    since the last reset = packets that left its queue + packets still in it.
//
// To count arrivals and departures per station without help from the code
// under test, the audit writes a marker length (10001 + k, longer than any
// real packet) into every queue entry k beyond QueueCount before each step.
// Taking the head packet off shifts the whole queue down by one, markers
// included, and an arrival writes its own packet after the last one; so the
// queue after the step tells which happened.  Only when a queue is (nearly)
// full of identical packets can "nothing happened" and "one left, one came"
// look the same; then the station's own count of packets that left decides.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/form1.h"

namespace maclab::testing {

class SoakAudit {
  public:
    explicit SoakAudit(Form1& form) : form_(form) {}

    // Before a step: the markers planted and the state remembered.
    void Before() { PlantMarkers(); }
    // After a step (a user action, or `ticked`: one tick, with random
    // arrivals possible while a run was started): every packet that came or
    // went is explained and the state is sound.  Fails the running test
    // fatally otherwise.
    void After(const char* what, bool ticked, bool arrivalsPossible) {
        Account(what, ticked, arrivalsPossible);
        if (::testing::Test::HasFatalFailure()) return;
        CheckState(what);
    }
    // The state at the start, before any step.
    void Start(const char* what) {
        Remember();
        CheckState(what);
    }

    long long Arrivals() const { return arrivals_; }
    long long Departures() const { return departures_; }
    long long SettledByCounter() const { return settledByCounter_; }
    long long FullQueueSteps() const { return fullQueueSteps_; }

  private:
    static constexpr Integer MarkerBase = 10001;

    struct QueueCopy {
        Integer Count = 0;
        std::array<Integer, QueueSlots> Length{};
        std::array<Integer, QueueSlots> Dest{};
    };

    void PlantMarkers() {
        for (int i = 0; i < StationRecords; ++i) {
            Node& s = form_.NodeTable[i];
            for (int k = std::max<int>(s.QueueCount, 0); k < QueueSlots; ++k)
                s.QueueLength[k] = static_cast<Integer>(MarkerBase + k);
        }
        Remember();
    }

    void Remember() {
        for (int i = 0; i < StationRecords; ++i) {
            const Node& s = form_.NodeTable[i];
            before_[i].Count = s.QueueCount;
            before_[i].Length = s.QueueLength;
            before_[i].Dest = s.QueueDest;
            leftBefore_[i] = LeftCount(s);
        }
        totalQueuedBefore_ = form_.TotalQueued;
        tickBefore_ = form_.TickCount;
    }

    static std::int64_t LeftCount(const Node& s) {
        std::int64_t sum = 0;
        for (const Long n : s.QueueLeft) sum += n;
        return sum;
    }

    // A packet that has just arrived at station i: the current length, and one
    // of the two nearest stations on either side.
    bool PlausibleArrival(int i, Integer length, Integer dest) const {
        const int n = form_.ActiveStations();
        if (length != CInt(form_.PacketLength) || dest < 0 || dest >= n || dest == i) return false;
        const int ahead = ((dest - i) % n + n) % n;
        return ahead <= 2 || ahead >= n - 2;
    }

    // Does the queue of station i now look like `before` with `left` packets
    // taken off the head (0 or 1) and `came` packets appended (0 or 1)?
    bool Matches(int i, const QueueCopy& before, int left, int came) const {
        const Node& s = form_.NodeTable[i];
        if (left > before.Count) return false;
        if (s.QueueCount != before.Count - left + came) return false;
        if (came == 1 && before.Count - left >= QueueSlots) return false;
        const int arrivalAt = came == 1 ? before.Count - left : -1;
        for (int k = 0; k < QueueSlots; ++k) {
            const int from = left == 1 && k < QueueSlots - 1 ? k + 1 : k;
            if (k == arrivalAt) {
                if (!PlausibleArrival(i, s.QueueLength[k], s.QueueDest[k])) return false;
            } else if (k < s.QueueCount && (s.QueueLength[k] != before.Length[from] ||
                                            s.QueueDest[k] != before.Dest[from])) {
                return false;
            }
        }
        return true;
    }

    void Account(const char* what, bool tick, bool arrivalsPossible) {
        const bool reset = form_.TotalQueued < totalQueuedBefore_ || form_.TickCount < tickBefore_;
        if (reset) {
            for (int i = 0; i < StationRecords; ++i) {
                ASSERT_EQ(form_.NodeTable[i].QueueCount, 0)
                    << what << ": reset left station " << i << " with packets";
                ASSERT_EQ(LeftCount(form_.NodeTable[i]), 0) << what << ": station " << i;
            }
            ASSERT_EQ(form_.TotalQueued, 0) << what;
            queued_.fill(0);
            left_.fill(0);
            return;
        }
        std::int64_t cameInAll = 0;
        for (int i = 0; i < StationRecords; ++i) {
            const Node& s = form_.NodeTable[i];
            ASSERT_GE(s.QueueCount, 0) << what << ": station " << i;
            ASSERT_LE(s.QueueCount, QueueSlots) << what << ": station " << i;
            int left = -1, came = -1, fits = 0;
            for (int l = 0; l <= 1; ++l)
                for (int c = 0; c <= 1; ++c)
                    if (Matches(i, before_[i], l, c)) {
                        ++fits;
                        left = l;
                        came = c;
                    }
            ASSERT_GE(fits, 1) << what << " at tick " << form_.TickCount
                               << ": the queue of station " << i
                               << " changed in a way no packet arrival or departure explains";
            if (fits > 1) {
                // Identical packets throughout: the station's own count decides.
                ++settledByCounter_;
                left = static_cast<int>(LeftCount(s) - leftBefore_[i]);
                ASSERT_TRUE(left == 0 || left == 1) << what << ": station " << i;
                came = left;
                ASSERT_TRUE(Matches(i, before_[i], left, came)) << what << ": station " << i;
            }
            if (before_[i].Count >= QueueSlots - 1) ++fullQueueSteps_;
            if (!tick) {
                ASSERT_EQ(left, 0) << what << " took a packet off station " << i;
            }
            if (tick && !arrivalsPossible && came == 1) {
                FAIL() << "a packet arrived at station " << i << " while traffic was stopped";
            }
            queued_[i] += came;
            left_[i] += left;
            cameInAll += came;
            arrivals_ += came;
            departures_ += left;
            // The accounting itself, and the station's own count of packets
            // that left, against what the queue showed.
            ASSERT_EQ(queued_[i], left_[i] + s.QueueCount) << what << ": station " << i;
            ASSERT_EQ(left_[i], LeftCount(s))
                << what << " at tick " << form_.TickCount << ": station " << i;
        }
        ASSERT_EQ(form_.TotalQueued - totalQueuedBefore_, cameInAll)
            << what << ": TotalQueued disagrees with the packets that arrived";
        std::int64_t all = 0;
        for (const auto q : queued_) all += q;
        ASSERT_EQ(all, form_.TotalQueued) << what;
    }

    void CheckState(const char* what) {
        const double nodes = form_.NodeCount;
        ASSERT_TRUE(nodes == 0 || (nodes >= 2 && nodes <= 24 && nodes == std::floor(nodes)))
            << what << ": NodeCount " << nodes;
        const int n = form_.ActiveStations();
        ASSERT_EQ(n, static_cast<int>(nodes)) << what;
        ASSERT_GE(form_.PathLength, 0) << what;
        ASSERT_LE(form_.PathLength, 24) << what;
        ASSERT_TRUE(form_.HubSource == -1 || (form_.HubSource >= 0 && form_.HubSource < n))
            << what << ": HubSource " << form_.HubSource << " with " << n << " stations";
        ASSERT_TRUE(form_.Settings == form_.SettingsFromControls())
            << what << ": the rules' copy of the settings differs from the controls";
        const Long idle = form_.BackColour;
        // The cells a reset puts back to silence.  (On the Bus a drop line also
        // has a third cell beyond PathLength = 1; a reset leaves whatever it
        // last held, and the first tick overwrites it before anything reads it.)
        const int cells = std::min<int>(form_.PathLength, PathCells - 1);
        for (int k = n; k < StationRecords; ++k) {
            const Node& s = form_.NodeTable[k];
            ASSERT_EQ(s.Output, idle) << what << ": idle record " << k << " puts out a signal";
            ASSERT_EQ(s.QueueCount, 0) << what << ": idle record " << k;
            ASSERT_EQ(s.TxState, TxIdle) << what << ": idle record " << k;
            ASSERT_EQ(s.TxProgress, 0) << what << ": idle record " << k;
            for (int c = 0; c <= cells; ++c) {
                ASSERT_EQ(s.OutPath[c], idle) << what << ": idle record " << k << " cell " << c
                                              << " topology " << form_.Topology;
                ASSERT_EQ(s.InPath[c], idle) << what << ": idle record " << k << " cell " << c;
                ASSERT_EQ(s.CellShown[c], idle) << what << ": idle record " << k << " cell " << c;
            }
        }
    }

    Form1& form_;
    std::array<QueueCopy, StationRecords> before_{};
    std::array<std::int64_t, StationRecords> leftBefore_{};
    std::int64_t totalQueuedBefore_ = 0;
    Long tickBefore_ = 0;
    std::array<std::int64_t, StationRecords> queued_{};
    std::array<std::int64_t, StationRecords> left_{};
    long long arrivals_ = 0, departures_ = 0;
    long long settledByCounter_ = 0, fullQueueSteps_ = 0;
};

} // namespace maclab::testing
