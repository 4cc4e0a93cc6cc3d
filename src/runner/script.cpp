// The script interpreter behind maclab-run.
#include "runner/script.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/form1.h"
#include "runner/trace.h"

namespace maclab {

namespace {

// A faulty line: its reason in plain words.
struct ScriptError {
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

// Plain decimal digits, leading zeros allowed; anything above `limit` is
// refused with `tooLarge` (the digits are never converted beyond it).
long long ParseCount(std::string_view word, long long limit, const char* tooLarge) {
    if (word.empty()) throw ScriptError{"malformed number"};
    long long value = 0;
    for (const char c : word) {
        if (!IsDigit(c)) throw ScriptError{"malformed number"};
        value = value * 10 + (c - '0');
        if (value > limit) {
            for (const char rest : word)
                if (!IsDigit(rest)) throw ScriptError{"malformed number"};
            throw ScriptError{tooLarge};
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
        throw ScriptError{"malformed number"};
    // A number too large for a double reads as infinity, and is not below 1.
    double value = 0;
    if (!ReadDecimal(word, value)) throw ScriptError{"malformed number"};
    if (!(value < 1.0)) throw ScriptError{"random value not below 1"};
    const float single = static_cast<float>(value);
    if (!(single < 1.0f)) throw ScriptError{"random value not below 1"};
    return single;
}

class Interpreter {
  public:
    Interpreter(Form1& form, TraceSurface& surface, std::ostream& out)
        : form_(form), surface_(surface), out_(out) {}

    void Execute(std::string_view line) {
        const std::string_view rest = SkipBlanks(line);
        if (rest.empty() || rest.front() == '#') return;
        std::size_t wordEnd = 0;
        while (wordEnd < rest.size() && !IsBlank(rest[wordEnd])) ++wordEnd;
        const std::string_view command = rest.substr(0, wordEnd);
        if (command == "pick" || command == "edit") {
            ExecuteText(command, rest.substr(wordEnd));
            return;
        }
        const std::vector<std::string_view> words = SplitWords(rest);
        if (command == "click")
            Click(words);
        else if (command == "toggle")
            Toggle(words);
        else if (command == "tick")
            Tick(words);
        else if (command == "rng")
            Random(words);
        else if (command == "trace")
            Trace(words);
        else if (command == "show") {
            ExpectWords(words, 1);
            WritePanel(form_, out_);
        } else if (command == "summary") {
            ExpectWords(words, 1);
            WriteSummary(form_, out_);
        } else {
            throw ScriptError{"unknown command"};
        }
    }

  private:
    static void ExpectWords(const std::vector<std::string_view>& words, std::size_t count) {
        if (words.size() > count) throw ScriptError{"too many words"};
        if (words.size() < count) throw ScriptError{"missing word"};
    }

    // A single control of the given kind by name, or nullptr.  A control
    // array's members are found by name and index.
    const ControlEntry* Named(std::string_view name, ControlEntry::Kind kind) const {
        for (const ControlEntry& e : form_.Controls())
            if (e.Name == name && e.Type == kind) return &e;
        return nullptr;
    }

    // `pick CONTROL TEXT` and `edit CONTROL TEXT`: one blank after the command
    // word, the control name up to the next blank, and the rest verbatim.
    void ExecuteText(std::string_view command, std::string_view afterCommand) {
        if (afterCommand.empty()) throw ScriptError{"missing control"};
        if (afterCommand.front() != ' ')
            throw ScriptError{"expected one blank after the command word"};
        const std::string_view nameAndText = afterCommand.substr(1);
        const std::size_t nameEnd = nameAndText.find(' ');
        const std::string_view name = nameAndText.substr(0, nameEnd);
        const std::string_view text = nameEnd == std::string_view::npos
                                          ? std::string_view{}
                                          : nameAndText.substr(nameEnd + 1);
        if (name.empty()) throw ScriptError{"missing control"};
        const ControlEntry* control = Named(name, ControlEntry::Kind::ComboBox);
        if (control == nullptr) throw ScriptError{"unknown combo box"};
        ComboBox* box = &control->Combo();
        if (!box->Visible) throw ScriptError{"control is hidden"};
        const std::string entry(text);
        if (command == "pick") {
            bool listed = false;
            for (const std::string& item : box->List) listed = listed || item == entry;
            if (!listed) throw ScriptError{"not a list entry"};
            form_.UserPick(*box, entry);
        } else {
            form_.UserEdit(*box, entry);
        }
    }

    void Click(const std::vector<std::string_view>& words) {
        if (words.size() < 2) throw ScriptError{"missing control"};
        if (words.size() > 3) throw ScriptError{"too many words"};
        const std::string_view name = words[1];
        const ControlEntry* button = Named(name, ControlEntry::Kind::Button);
        if (button == nullptr) throw ScriptError{"unknown button"};
        if (!button->InArray()) {
            if (words.size() == 3) throw ScriptError{std::string(name) + " takes no index"};
        } else {
            if (words.size() < 3) throw ScriptError{"missing index"};
            const auto index =
                static_cast<int>(ParseCount(words[2], button->Count - 1, "index out of range"));
            button = form_.FindControl(name, index);
        }
        if (!button->Model->Visible) throw ScriptError{"control is hidden"};
        form_.UserClick(*button);
        // A step is a tick: traced like one.
        if (name == "cmdStep" && traceTicks_) WriteTickLine(form_, out_);
    }

    void Toggle(const std::vector<std::string_view>& words) {
        if (words.size() < 2) throw ScriptError{"missing control"};
        ExpectWords(words, 2);
        const ControlEntry* toggle = Named(words[1], ControlEntry::Kind::Toggle);
        if (toggle == nullptr) throw ScriptError{"unknown toggle"};
        if (!toggle->Model->Visible) throw ScriptError{"control is hidden"};
        form_.UserToggle(*toggle->Model);
    }

    void Tick(const std::vector<std::string_view>& words) {
        ExpectWords(words, 2);
        const long long count = ParseCount(words[1], MaxTicksPerCommand, "tick count too large");
        for (long long k = 0; k < count; ++k) {
            // Nothing but a user action turns the timer on again.
            if (!form_.Timer1.Enabled) break;
            form_.Timer1_Timer();
            if (traceTicks_) WriteTickLine(form_, out_);
        }
    }

    void Random(const std::vector<std::string_view>& words) {
        if (words.size() < 2) throw ScriptError{"missing value"};
        std::vector<float> values;
        values.reserve(words.size() - 1);
        for (std::size_t k = 1; k < words.size(); ++k) values.push_back(ParseRandomValue(words[k]));
        form_.SetRandomSource(std::make_unique<CyclicSource>(std::move(values)));
    }

    void Trace(const std::vector<std::string_view>& words) {
        ExpectWords(words, 3);
        bool on = false;
        if (words[2] == "on")
            on = true;
        else if (words[2] != "off")
            throw ScriptError{"expected on or off"};
        if (words[1] == "ticks")
            traceTicks_ = on;
        else if (words[1] == "draw")
            surface_.SetTracing(on);
        else
            throw ScriptError{"expected ticks or draw"};
    }

    Form1& form_;
    TraceSurface& surface_;
    std::ostream& out_;
    bool traceTicks_ = false;
};

} // namespace

int RunScript(std::string_view script, std::ostream& out, std::ostream& err) {
    // The program starts as the window does; only then does the script act.
    const auto form = std::make_unique<Form1>();
    TraceSurface surface(*form, out);
    form->SetSurface(&surface);
    form->Form_Load();
    Interpreter interpreter(*form, surface, out);

    long long lineNumber = 0;
    std::size_t pos = 0;
    int status = ScriptSucceeded;
    while (pos < script.size()) {
        const std::size_t end = script.find('\n', pos);
        std::string_view line = script.substr(pos, end == std::string_view::npos ? end : end - pos);
        pos = end == std::string_view::npos ? script.size() : end + 1;
        ++lineNumber;
        // A carriage return right before the line feed belongs to the line end.
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        try {
            interpreter.Execute(line);
        } catch (const ScriptError& e) {
            err << "line " << lineNumber << ": " << e.reason << '\n';
            status = ScriptFailed;
        } catch (const EndlessRedraw& e) {
            err << "line " << lineNumber << ": " << e.what() << '\n';
            status = ScriptFailed;
        }
        if (status != ScriptSucceeded) break;
    }
    form->SetSurface(nullptr);
    return status;
}

} // namespace maclab
