// The program's one source of uniform random numbers in [0, 1).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

namespace maclab {

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // The next uniform value in [0, 1), single precision.
    virtual float Next() = 0;
    // Number of values after which the sequence repeats itself exactly, or 0
    // when it does not repeat in any practical sense.
    virtual std::size_t Period() const { return 0; }
    // Moves past count values exactly as count calls of Next() would.
    virtual void Skip(std::uint64_t count) {
        for (; count > 0; --count) Next();
    }
};

// The 32-bit Mersenne Twister (the same sequence as std::mt19937 with the
// same seed), written out so that the block refill is a plain loop the
// compiler can vectorise and so that values can be passed over cheaply.
class Mt19937 {
  public:
    static constexpr std::uint32_t DefaultSeed = 5489u;

    explicit Mt19937(std::uint32_t seed = DefaultSeed) {
        state_[0] = seed;
        for (std::uint32_t i = 1; i < N; ++i)
            state_[i] = 1812433253u * (state_[i - 1] ^ (state_[i - 1] >> 30)) + i;
        next_ = N;
    }

    std::uint32_t operator()() {
        if (next_ >= N) Refill();
        return tempered_[next_++];
    }

    // Moves past count values as if they had been drawn; only the untempered
    // state is worked out.
    void Skip(std::uint64_t count) {
        while (count > 0) {
            if (next_ >= N) Refill();
            const std::uint64_t here = std::min<std::uint64_t>(count, N - next_);
            next_ += static_cast<std::uint32_t>(here);
            count -= here;
        }
    }

  private:
    static constexpr std::uint32_t N = 624, M = 397;

    static std::uint32_t Twist(std::uint32_t upper, std::uint32_t lower, std::uint32_t far) {
        const std::uint32_t y = (upper & 0x80000000u) | (lower & 0x7fffffffu);
        return far ^ (y >> 1) ^ ((y & 1u) ? 0x9908b0dfu : 0u);
    }

    void Refill() {
        std::uint32_t i = 0;
        for (; i < N - M; ++i) state_[i] = Twist(state_[i], state_[i + 1], state_[i + M]);
        for (; i < N - 1; ++i) state_[i] = Twist(state_[i], state_[i + 1], state_[i + M - N]);
        state_[N - 1] = Twist(state_[N - 1], state_[0], state_[M - 1]);
        // The whole block's outputs at once, in a loop that vectorises.
        for (i = 0; i < N; ++i) {
            std::uint32_t y = state_[i];
            y ^= y >> 11;
            y ^= (y << 7) & 0x9d2c5680u;
            y ^= (y << 15) & 0xefc60000u;
            y ^= y >> 18;
            tempered_[i] = y;
        }
        next_ = 0;
    }

    std::uint32_t state_[N];
    std::uint32_t tempered_[N] = {}; // filled at the first draw
    std::uint32_t next_;

  public:
    bool operator==(const Mt19937&) const = default;
};

// The top 24 bits of a 32-bit draw as a single-precision value in [0, 1).
inline float UnitFloat(std::uint32_t bits) {
    return static_cast<float>(bits >> 8) / 16777216.0f;
}

// The Mersenne Twister with its default seed; never re-seeded, so every
// start of the program draws the same sequence.
class MersenneSource final : public RandomSource {
  public:
    float Next() override { return UnitFloat(engine_()); }
    void Skip(std::uint64_t count) override { engine_.Skip(count); }

  private:
    Mt19937 engine_;
};

// A fixed list of values returned in turn, starting again after the last:
// lets a scenario script make every random decision itself.
class CyclicSource final : public RandomSource {
  public:
    explicit CyclicSource(std::vector<float> values) : values_(std::move(values)) {
        if (values_.empty()) throw std::invalid_argument("empty random sequence");
    }
    float Next() override {
        const float v = values_[next_];
        next_ = (next_ + 1) % values_.size();
        return v;
    }
    std::size_t Period() const override { return values_.size(); }
    void Skip(std::uint64_t count) override {
        next_ = static_cast<std::size_t>((next_ + count % values_.size()) % values_.size());
    }

  private:
    std::vector<float> values_;
    std::size_t next_ = 0;
};

// Thrown when a destination draw can never succeed because the scripted
// sequence holds no value that leads away from the sending station.
class EndlessRedraw : public std::runtime_error {
  public:
    EndlessRedraw() : std::runtime_error("endless destination redraw") {}
};

} // namespace maclab
