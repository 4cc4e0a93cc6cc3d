// The run over time: utilisation, efficiency and the packets waiting in all
// queues, taken every tenth tick and kept for the last Capacity samples.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/numbers.h"

namespace maclab {

struct HistorySample {
    Long Tick = 0;
    double Utilisation = 0;   // per cent, unrounded
    double Efficiency = 0;    // per cent, unrounded; NaN while nothing was queued
    std::int64_t Waiting = 0; // packets in all queues

    // Equal when every field is, NaN included (an efficiency not yet defined
    // equals itself).
    bool operator==(const HistorySample& o) const {
        const auto same = [](double a, double b) { return a == b || (a != a && b != b); };
        return Tick == o.Tick && same(Utilisation, o.Utilisation) &&
               same(Efficiency, o.Efficiency) && Waiting == o.Waiting;
    }
};

// The samples are kept in chunks shared between copies: a copy (a checkpoint
// of the whole state) costs a few pointers, and a chunk is copied only when a
// copy that shares it is written to.
class RunHistory {
  public:
    static constexpr std::size_t Capacity = 10000;

    void Clear() {
        chunks_.clear();
        size_ = 0;
        start_ = 0;
        added_ = 0;
        ++clears_;
    }
    void Add(const HistorySample& sample) {
        std::size_t at = start_;
        if (size_ < Capacity) {
            at = size_++;
        } else {
            start_ = (start_ + 1) % Capacity;
        }
        Writable(at / ChunkSize)[at % ChunkSize] = sample;
        ++added_;
    }
    std::size_t Size() const { return size_; }
    // Oldest kept sample first.
    const HistorySample& operator[](std::size_t i) const {
        const std::size_t at = (start_ + i) % size_;
        return (*chunks_[at / ChunkSize])[at % ChunkSize];
    }
    // Samples added since the last clear, kept or not: a front end that has
    // drawn the first k of them fetches only the rest.
    std::uint64_t Added() const { return added_; }
    // Clears so far: a front end whose count differs starts afresh.
    std::uint64_t Clears() const { return clears_; }

    bool operator==(const RunHistory& o) const {
        if (size_ != o.size_ || start_ != o.start_ || added_ != o.added_ || clears_ != o.clears_)
            return false;
        for (std::size_t c = 0; c < chunks_.size(); ++c) {
            if (chunks_[c] == o.chunks_[c]) continue;
            const std::size_t n = std::min(ChunkSize, size_ - c * ChunkSize);
            for (std::size_t k = 0; k < n; ++k)
                if (!((*chunks_[c])[k] == (*o.chunks_[c])[k])) return false;
        }
        return true;
    }

    // Bytes of samples this history holds that the other does not share.
    std::size_t BytesNotSharedWith(const RunHistory* other) const {
        std::size_t chunks = 0;
        for (std::size_t c = 0; c < chunks_.size(); ++c)
            if (other == nullptr || c >= other->chunks_.size() || other->chunks_[c] != chunks_[c])
                ++chunks;
        return chunks * sizeof(Chunk) + chunks_.capacity() * sizeof(chunks_[0]);
    }

  private:
    static constexpr std::size_t ChunkSize = 250;
    using Chunk = std::array<HistorySample, ChunkSize>;
    Chunk& Writable(std::size_t c) {
        if (c == chunks_.size()) chunks_.push_back(std::make_shared<Chunk>());
        if (chunks_[c].use_count() > 1) chunks_[c] = std::make_shared<Chunk>(*chunks_[c]);
        return *chunks_[c];
    }
    std::vector<std::shared_ptr<Chunk>> chunks_;
    std::size_t size_ = 0;
    std::size_t start_ = 0;
    std::uint64_t added_ = 0;
    std::uint64_t clears_ = 0;
};

} // namespace maclab
