// A whole sweep: a list of points run side by side, one worker thread per
// processor core, each point on a fresh Form1 of its own, the results in the
// order of the list.  Used by maclab-sweep and by the window's chart pane.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <vector>

#include "sweep/run_point.h"

namespace maclab::sweep {

// maclab-sweep's offered-traffic list, unless told otherwise.
const std::vector<double>& DefaultOffered();

// One point to measure.
struct Job {
    Settings Setting;
    double Offered = 0;
};

// The same settings at every offered traffic of the list, in its order.
std::vector<Job> JobsFor(const Settings& settings, const std::vector<double>& offered);

struct Progress {
    long long TicksDone = 0, TicksTotal = 0;
    std::size_t PointsDone = 0, PointsTotal = 0;
};

struct SweepOptions {
    // Called from the worker threads, one call at a time, after every
    // CheckEvery ticks of any point and when a point is finished.
    std::function<void(const Progress&)> OnProgress;
    // Called from the worker threads, one call at a time, when a point is
    // finished, with its place in the list.
    std::function<void(std::size_t, const Point&)> OnPoint;
    // Read by every worker after every CheckEvery ticks: once it is set, each
    // abandons its point and no further point starts.
    const std::atomic<bool>* Cancel = nullptr;
    // Worker threads; 0 for one per processor core.
    unsigned Workers = 0;
};

struct SweepResult {
    std::vector<Point> Points; // in the order of the jobs; empty when cancelled
    bool Cancelled = false;
};

// One per processor core as the system reports them, at least 1.
unsigned WorkersPerCore();

// Runs every job and returns when all workers have ended.
SweepResult RunSweep(const std::vector<Job>& jobs, const SweepOptions& options = {});

} // namespace maclab::sweep
