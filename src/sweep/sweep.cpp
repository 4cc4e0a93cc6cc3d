#include "sweep/sweep.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace maclab::sweep {

const std::vector<double>& DefaultOffered() {
    static const std::vector<double> list = {0.05, 0.1, 0.2, 0.3, 0.4, 0.5,
                                             0.6,  0.8, 1.0, 1.2, 1.5, 2.0};
    return list;
}

std::vector<Job> JobsFor(const Settings& settings, const std::vector<double>& offered) {
    std::vector<Job> jobs;
    jobs.reserve(offered.size());
    for (const double g : offered) jobs.push_back({settings, g});
    return jobs;
}

unsigned WorkersPerCore() {
    return std::max(1u, std::thread::hardware_concurrency());
}

SweepResult RunSweep(const std::vector<Job>& jobs, const SweepOptions& options) {
    const auto cancelled = [&options] {
        return options.Cancel && options.Cancel->load(std::memory_order_relaxed);
    };
    std::vector<std::optional<Point>> results(jobs.size());
    std::atomic<std::size_t> next{0};
    std::mutex report; // one callback at a time, and the progress it reports
    Progress progress;
    progress.PointsTotal = jobs.size();
    for (const Job& job : jobs) progress.TicksTotal += job.Setting.Ticks;

    const auto work = [&] {
        for (std::size_t k; !cancelled() && (k = next.fetch_add(1)) < jobs.size();) {
            long long reported = 0; // ticks of this point already counted
            const auto carryOn = [&](long long ticks) {
                if (cancelled()) return false;
                if (options.OnProgress) {
                    const std::lock_guard<std::mutex> lock(report);
                    progress.TicksDone += ticks - reported;
                    options.OnProgress(progress);
                }
                reported = ticks;
                return true;
            };
            std::optional<Point> point = RunPoint(jobs[k].Setting, jobs[k].Offered, carryOn);
            if (!point) return;
            const std::lock_guard<std::mutex> lock(report);
            progress.TicksDone += jobs[k].Setting.Ticks - reported;
            ++progress.PointsDone;
            results[k] = std::move(point);
            if (options.OnPoint) options.OnPoint(k, *results[k]);
            if (options.OnProgress) options.OnProgress(progress);
        }
    };

    const unsigned workers = static_cast<unsigned>(
        std::min<std::size_t>(options.Workers ? options.Workers : WorkersPerCore(),
                              std::max<std::size_t>(1, jobs.size())));
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w) threads.emplace_back(work);
    work(); // the calling thread is one of the workers
    for (std::thread& t : threads) t.join();

    SweepResult result;
    result.Cancelled =
        std::any_of(results.begin(), results.end(), [](const auto& p) { return !p.has_value(); });
    if (!result.Cancelled)
        for (std::optional<Point>& p : results) result.Points.push_back(*p);
    return result;
}

} // namespace maclab::sweep
