// The run over time: utilisation, efficiency and the packets waiting in all
// queues, taken every tenth tick and kept for the last Capacity samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/numbers.h"

namespace maclab {

struct HistorySample {
    Long Tick = 0;
    double Utilisation = 0;   // per cent, unrounded
    double Efficiency = 0;    // per cent, unrounded; NaN while nothing was queued
    std::int64_t Waiting = 0; // packets in all queues
};

class RunHistory {
  public:
    static constexpr std::size_t Capacity = 10000;

    void Clear() {
        samples_.clear();
        start_ = 0;
        added_ = 0;
        ++clears_;
    }
    void Add(const HistorySample& sample) {
        if (samples_.size() < Capacity) {
            samples_.push_back(sample);
        } else {
            samples_[start_] = sample;
            start_ = (start_ + 1) % Capacity;
        }
        ++added_;
    }
    std::size_t Size() const { return samples_.size(); }
    // Oldest kept sample first.
    const HistorySample& operator[](std::size_t i) const {
        return samples_[(start_ + i) % samples_.size()];
    }
    // Samples added since the last clear, kept or not: a front end that has
    // drawn the first k of them fetches only the rest.
    std::uint64_t Added() const { return added_; }
    // Clears so far: a front end whose count differs starts afresh.
    std::uint64_t Clears() const { return clears_; }

  private:
    std::vector<HistorySample> samples_;
    std::size_t start_ = 0;
    std::uint64_t added_ = 0;
    std::uint64_t clears_ = 0;
};

} // namespace maclab
