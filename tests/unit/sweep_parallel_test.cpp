// The sweep run on several workers gives exactly the rows of a run of one
// point after another, in the order of the list, and a cancel ends it at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "sweep/sweep.h"

namespace maclab::sweep {
namespace {

Settings Make(const char* scheme, const char* topology, int stations, double length, bool reliable,
              bool random, long long ticks) {
    Settings s;
    s.Scheme = scheme;
    s.Topology = topology;
    s.Stations = stations;
    s.PacketLength = length;
    s.Reliable = reliable;
    s.RandomBackoff = random;
    s.Ticks = ticks;
    return s;
}

TEST(SweepParallel, RowsEqualOnePointAfterAnother) {
    // Points of unequal cost, so that the workers finish out of order.
    const std::vector<Job> jobs = {
        {Make("ALOHA", "Star", 24, 10, false, false, 6000), 0.5},
        {Make("Slotted ALOHA", "Star", 12, 7.5, false, false, 1500), 2.0},
        {Make("CSMA/CD + R", "Bus", 8, 3, true, true, 4000), 0.8},
        {Make("RTS/CTS", "Wide Space", 10, 20, true, false, 800), 1.2},
        {Make("Token Passing", "Ring", 5, 10, false, false, 3000), 0.3},
        {Make("ALOHA", "Star", 24, 10, false, false, 6000), 0.5}, // the first again
    };
    std::vector<std::size_t> finished;
    Progress last;
    SweepOptions options;
    options.Workers = 3;
    options.OnPoint = [&](std::size_t k, const Point&) { finished.push_back(k); };
    options.OnProgress = [&](const Progress& p) {
        EXPECT_GE(p.TicksDone, last.TicksDone);
        last = p;
    };
    const SweepResult parallel = RunSweep(jobs, options);
    ASSERT_FALSE(parallel.Cancelled);
    ASSERT_EQ(parallel.Points.size(), jobs.size());
    EXPECT_EQ(finished.size(), jobs.size());
    EXPECT_EQ(last.TicksDone, last.TicksTotal);
    EXPECT_EQ(last.PointsDone, jobs.size());
    for (std::size_t k = 0; k < jobs.size(); ++k) {
        SCOPED_TRACE(k);
        const Point alone = RunPoint(jobs[k].Setting, jobs[k].Offered);
        const Point& p = parallel.Points[k];
        EXPECT_EQ(p.Offered, alone.Offered);
        EXPECT_EQ(p.Ticks, alone.Ticks);
        EXPECT_EQ(p.Queued, alone.Queued);
        EXPECT_EQ(p.Sent, alone.Sent);
        EXPECT_EQ(p.Received, alone.Received);
        EXPECT_EQ(p.Backlog, alone.Backlog);
        EXPECT_EQ(p.Utilisation, alone.Utilisation);
        EXPECT_EQ(p.Efficiency, alone.Efficiency);
        EXPECT_GT(p.Queued, 0);
        // The shares themselves, with nothing of the labels' rounding aids.
        EXPECT_EQ(p.Efficiency, static_cast<double>(p.Received) / static_cast<double>(p.Queued));
    }
}

// Points that would run for hours: the sweep must end soon after the flag
// is raised, on every worker, and give no rows.  (Were the flag not heard,
// this test would not end.)
TEST(SweepParallel, CancelEndsEveryWorker) {
    const std::vector<Job> jobs(5,
                                Job{Make("ALOHA", "Space", 24, 10, false, false, 1LL << 40), 2.0});
    std::atomic<bool> cancel{false};
    long long ticksAtCancel = 0, ticksAfter = 0;
    SweepOptions options;
    options.Workers = 3;
    options.Cancel = &cancel;
    options.OnProgress = [&](const Progress& p) {
        if (cancel) {
            ticksAfter = p.TicksDone;
        } else if (p.TicksDone >= 6 * CheckEvery) {
            ticksAtCancel = p.TicksDone;
            cancel = true;
        }
    };
    options.OnPoint = [](std::size_t, const Point&) { ADD_FAILURE() << "a point was finished"; };
    const SweepResult result = RunSweep(jobs, options);
    EXPECT_TRUE(result.Cancelled);
    EXPECT_TRUE(result.Points.empty());
    EXPECT_GE(ticksAtCancel, 6 * CheckEvery);
    EXPECT_EQ(ticksAfter, 0); // no worker went on to report more ticks
}

} // namespace
} // namespace maclab::sweep
