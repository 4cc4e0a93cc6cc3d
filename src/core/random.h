// The program's one source of uniform random numbers in [0, 1).
#pragma once

#include <cstddef>
#include <memory>
#include <random>
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
};

// 32-bit Mersenne Twister with its default seed; never re-seeded, so every
// start of the program draws the same sequence.
class MersenneSource final : public RandomSource {
  public:
    float Next() override { return static_cast<float>(engine_() >> 8) / 16777216.0f; }

  private:
    std::mt19937 engine_{}; // default seed 5489
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
