// libFuzzer target: arbitrary bytes played as a maclab-run script.
//
// Besides the sanitizers' own checks it holds the interpreter to its promises:
// it never throws, it ends with 0 (ran to the end, nothing on the error
// stream) or 2 (one "line N: REASON" message), and the same script always
// prints the same output.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "runner/script.h"

namespace {

// Hashes what is written to it instead of keeping it, so that long traces
// cost no memory.
class HashingBuffer : public std::streambuf {
  public:
    std::uint64_t Hash() const { return hash_; }
    std::uint64_t Size() const { return size_; }

  protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) Add(static_cast<char>(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        for (std::streamsize k = 0; k < n; ++k) Add(s[k]);
        return n;
    }

  private:
    void Add(char c) {
        hash_ = (hash_ ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        ++size_;
    }
    std::uint64_t hash_ = 14695981039346656037ull;
    std::uint64_t size_ = 0;
};

// A script may ask for up to two thousand million ticks in one line, which the
// program then faithfully runs for many minutes.  That is a legitimate request,
// not a fault, so inputs that ask for more than a few thousand ticks in all
// are skipped here (by the same reading of a `tick` line as the interpreter's).
constexpr unsigned long long TickBudget = 3000;

bool WithinTickBudget(std::string_view script) {
    unsigned long long total = 0;
    std::size_t pos = 0;
    while (pos < script.size()) {
        std::size_t end = script.find('\n', pos);
        if (end == std::string_view::npos) end = script.size();
        std::string_view line = script.substr(pos, end - pos);
        pos = end + 1;
        std::size_t i = 0;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (line.substr(i, 4) != "tick") continue;
        i += 4;
        if (i >= line.size() || (line[i] != ' ' && line[i] != '\t')) continue;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        unsigned long long count = 0;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
            count = count * 10 + static_cast<unsigned>(line[i] - '0');
            if (count > TickBudget) return false;
            ++i;
        }
        total += count;
        if (total > TickBudget) return false;
    }
    return true;
}

struct Outcome {
    int Status;
    std::uint64_t OutHash, OutSize;
    std::string Err;
};

Outcome Play(std::string_view script) {
    HashingBuffer outBuffer;
    std::ostream out(&outBuffer);
    std::string errText;
    struct StringBuffer : std::streambuf {
        std::string* text;
        int_type overflow(int_type c) override {
            if (c != traits_type::eof() && text->size() < 4096)
                text->push_back(static_cast<char>(c));
            return traits_type::not_eof(c);
        }
    } errBuffer;
    errBuffer.text = &errText;
    std::ostream err(&errBuffer);
    const int status = maclab::RunScript(script, out, err);
    return {status, outBuffer.Hash(), outBuffer.Size(), errText};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    if (!WithinTickBudget(script)) return -1; // not worth keeping in the corpus

    const Outcome first = Play(script);
    if (first.Status == maclab::ScriptSucceeded) {
        if (!first.Err.empty()) std::abort(); // success reports nothing
    } else if (first.Status == maclab::ScriptFailed) {
        // Exactly one message: "line N: REASON\n".
        const std::string& e = first.Err;
        if (e.rfind("line ", 0) != 0 || e.empty() || e.back() != '\n') std::abort();
        if (e.find('\n') != e.size() - 1) std::abort();
        std::size_t i = 5;
        while (i < e.size() && e[i] >= '0' && e[i] <= '9') ++i;
        if (i == 5 || e.compare(i, 2, ": ") != 0 || i + 2 >= e.size() - 1) std::abort();
    } else {
        std::abort();
    }

    // The program starts afresh for every script: nothing of one run may leak
    // into the next.
    const Outcome second = Play(script);
    if (second.Status != first.Status || second.OutHash != first.OutHash ||
        second.OutSize != first.OutSize || second.Err != first.Err)
        std::abort();
    return 0;
}
