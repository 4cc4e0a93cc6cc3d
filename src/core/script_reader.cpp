// The words of a script line, as the runner's interface defines them.
#include "core/script_reader.h"

#include <cstdio>
#include <vector>

#include "core/numbers.h"

namespace maclab {

namespace {

struct Malformed {
    std::string reason;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

void ExpectWords(const std::vector<std::string_view>& words, std::size_t count) {
    if (words.size() > count) throw Malformed{"too many words"};
    if (words.size() < count) throw Malformed{"missing word"};
}

// Plain decimal digits, leading zeros allowed; anything above `limit` is
// refused with `tooLarge` (the digits are never converted beyond it).
long long ParseCount(std::string_view word, long long limit, const char* tooLarge) {
    if (word.empty()) throw Malformed{"malformed number"};
    long long value = 0;
    for (const char c : word) {
        if (!IsDigit(c)) throw Malformed{"malformed number"};
        value = value * 10 + (c - '0');
        if (value > limit) {
            for (const char rest : word)
                if (!IsDigit(rest)) throw Malformed{"malformed number"};
            throw Malformed{tooLarge};
        }
    }
    return value;
}

// One value of an `rng` line: digits with an optional point and at least one
// digit after it, or a point and digits, then an optional exponent (e or E, an
// optional sign, digits).  Read as a double, rounded to single precision, and
// accepted only below 1.
float ParseRandomValue(std::string_view word) {
    // The reader also takes a point with no digit after it, which a script may not write.
    const std::size_t point = word.find('.');
    if (point != std::string_view::npos && (point + 1 == word.size() || !IsDigit(word[point + 1])))
        throw Malformed{"malformed number"};
    // A number too large for a double reads as infinity, and is not below 1.
    double value = 0;
    if (!ReadDecimal(word, value)) throw Malformed{"malformed number"};
    if (!(value < 1.0)) throw Malformed{"random value not below 1"};
    const float single = static_cast<float>(value);
    if (!(single < 1.0f)) throw Malformed{"random value not below 1"};
    return single;
}

// `pick CONTROL TEXT` and `edit CONTROL TEXT`: one blank after the command
// word, the control name up to the next blank, and the rest verbatim.
Action ReadText(std::string_view command, std::string_view afterCommand) {
    if (afterCommand.empty()) throw Malformed{"missing control"};
    if (afterCommand.front() != ' ') throw Malformed{"expected one blank after the command word"};
    const std::string_view nameAndText = afterCommand.substr(1);
    const std::size_t nameEnd = nameAndText.find(' ');
    const std::string_view name = nameAndText.substr(0, nameEnd);
    const std::string_view text =
        nameEnd == std::string_view::npos ? std::string_view{} : nameAndText.substr(nameEnd + 1);
    if (name.empty()) throw Malformed{"missing control"};
    return command == "pick" ? Action::Pick(std::string(name), std::string(text))
                             : Action::Edit(std::string(name), std::string(text));
}

void Read(std::string_view line, ScriptLine& out) {
    const std::string_view rest = SkipBlanks(line);
    if (rest.empty() || rest.front() == '#') return;
    std::size_t wordEnd = 0;
    while (wordEnd < rest.size() && !IsBlank(rest[wordEnd])) ++wordEnd;
    const std::string_view command = rest.substr(0, wordEnd);
    if (command == "pick" || command == "edit") {
        out.What = ScriptLine::Kind::Act;
        out.Act = ReadText(command, rest.substr(wordEnd));
        return;
    }
    const std::vector<std::string_view> words = SplitWords(rest);
    if (command == "click") {
        if (words.size() < 2) throw Malformed{"missing control"};
        if (words.size() > 3) throw Malformed{"too many words"};
        const int index =
            words.size() == 3
                ? static_cast<int>(ParseCount(words[2], 2147483647, "index out of range"))
                : -1;
        out.What = ScriptLine::Kind::Act;
        out.Act = Action::Click(std::string(words[1]), index);
    } else if (command == "toggle") {
        if (words.size() < 2) throw Malformed{"missing control"};
        ExpectWords(words, 2);
        out.What = ScriptLine::Kind::Act;
        out.Act = Action::Toggle(std::string(words[1]));
    } else if (command == "tick") {
        ExpectWords(words, 2);
        out.What = ScriptLine::Kind::Tick;
        out.Count = ParseCount(words[1], MaxTicksPerCommand, "tick count too large");
    } else if (command == "seek") {
        ExpectWords(words, 2);
        out.What = ScriptLine::Kind::Act;
        out.Act = Action::Seek(static_cast<std::uint64_t>(
            ParseCount(words[1], 9000000000000000000LL, "tick count too large")));
    } else if (command == "rng") {
        if (words.size() < 2) throw Malformed{"missing value"};
        std::vector<float> values;
        values.reserve(words.size() - 1);
        for (std::size_t k = 1; k < words.size(); ++k) values.push_back(ParseRandomValue(words[k]));
        out.What = ScriptLine::Kind::Act;
        out.Act = Action::Random(std::move(values));
    } else if (command == "trace") {
        ExpectWords(words, 3);
        if (words[2] == "on")
            out.On = true;
        else if (words[2] != "off")
            throw Malformed{"expected on or off"};
        if (words[1] == "ticks")
            out.What = ScriptLine::Kind::TraceTicks;
        else if (words[1] == "draw")
            out.What = ScriptLine::Kind::TraceDraw;
        else
            throw Malformed{"expected ticks or draw"};
    } else if (command == "show") {
        ExpectWords(words, 1);
        out.What = ScriptLine::Kind::Show;
    } else if (command == "summary") {
        ExpectWords(words, 1);
        out.What = ScriptLine::Kind::Summary;
    } else if (command == "save") {
        ExpectWords(words, 1);
        out.What = ScriptLine::Kind::Save;
    } else {
        throw Malformed{"unknown command"};
    }
}

} // namespace

bool ReadScriptLine(std::string_view line, ScriptLine& out, std::string& reason) {
    out = ScriptLine{};
    try {
        Read(line, out);
        return true;
    } catch (const Malformed& m) {
        reason = m.reason;
        return false;
    }
}

std::string ScriptLineOf(const Action& a) {
    switch (a.What) {
    case Action::Kind::Pick:
    case Action::Kind::Edit: {
        std::string line = a.What == Action::Kind::Pick ? "pick " : "edit ";
        line += a.Control;
        if (!a.Text.empty()) line += ' ' + a.Text;
        return line;
    }
    case Action::Kind::Click:
        return "click " + a.Control + (a.Index >= 0 ? ' ' + std::to_string(a.Index) : "");
    case Action::Kind::Toggle:
        return "toggle " + a.Control;
    case Action::Kind::Random: {
        std::string line = "rng";
        for (const float v : a.Values) {
            // Nine significant digits read back as the same single-precision value.
            char text[32];
            std::snprintf(text, sizeof text, " %.9g", static_cast<double>(v));
            line += text;
        }
        return line;
    }
    case Action::Kind::Seek:
        return "seek " + std::to_string(a.Tick);
    default:
        return {};
    }
}

} // namespace maclab
