// The script interpreter behind maclab-run.
#include "runner/script.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/form1.h"
#include "core/script_reader.h"
#include "runner/trace.h"

namespace maclab {

namespace {

// A faulty line: its reason in plain words.
struct ScriptError {
    std::string reason;
};

class Interpreter {
  public:
    Interpreter(Form1& form, TraceSurface& surface, std::ostream& out)
        : form_(form), surface_(surface), out_(out) {}

    void Execute(std::string_view line) {
        ScriptLine command;
        std::string reason;
        if (!ReadScriptLine(line, command, reason)) throw ScriptError{reason};
        switch (command.What) {
        case ScriptLine::Kind::Nothing:
            break;
        case ScriptLine::Kind::Act: {
            const Verdict v = form_.Do(command.Act);
            if (!v) throw ScriptError{v.Reason};
            // A step is a tick: traced like one.
            if (v.Ticked && traceTicks_) WriteTickLine(form_, out_);
            break;
        }
        case ScriptLine::Kind::Tick:
            for (long long k = 0; k < command.Count; ++k) {
                // Nothing but a user action turns the timer on again.
                if (!form_.Timer1.Enabled) break;
                if (const Verdict v = form_.Do(Action::Interval()); !v) throw ScriptError{v.Reason};
                if (traceTicks_) WriteTickLine(form_, out_);
            }
            break;
        case ScriptLine::Kind::TraceTicks:
            traceTicks_ = command.On;
            break;
        case ScriptLine::Kind::TraceDraw:
            surface_.SetTracing(command.On);
            break;
        case ScriptLine::Kind::Show:
            WritePanel(form_, out_);
            break;
        case ScriptLine::Kind::Summary:
            WriteSummary(form_, out_);
            break;
        case ScriptLine::Kind::Save:
            out_ << form_.SessionScript();
            break;
        }
    }

  private:
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
