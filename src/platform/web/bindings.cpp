// The browser page's way into Form1: plain C functions that the page's script
// calls.  They hand out the model of the controls, the drawing since the last
// fetch and the run's history as JSON text, and forward every user action and
// every firing of the clock to Form1's own entry points.  No rule of the
// simulation lives here or in the page.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/form1.h"
#include "core/symbol_kind.h"
#include "runner/trace.h"

namespace maclab::web {

// chart_bindings.cpp
std::string SweepSettingsJson(const Form1& form);
std::string HistoryChart(const Form1& form, bool svg, const std::string& title);

namespace {

// Remembers every drawing call until the page fetches them, as flat numbers:
// clear 0; ring 1 x y size colour kind (Form1::SymbolKindOf); bus segment 2 x y;
// repaint 3 target index.
class RecordingSurface final : public Surface {
  public:
    explicit RecordingSurface(const Form1& form) : form_(form) {}
    void Clear() override {
        // Whatever was drawn before a clear is gone: the page need not see it.
        calls_.clear();
        calls_.push_back(0);
    }
    void DrawRing(Long x, Long y, Integer size, Long colour) override {
        calls_.insert(calls_.end(), {1, x, y, size, colour,
                                     static_cast<long long>(maclab::SymbolKindOf(form_, colour))});
    }
    void DrawBusSegment(Long x, Long y) override { calls_.insert(calls_.end(), {2, x, y}); }
    void Repaint(RepaintTarget target, int index) override {
        calls_.insert(calls_.end(), {3, static_cast<long long>(target), index});
    }
    std::vector<long long> Take() { return std::exchange(calls_, {}); }

  private:
    const Form1& form_;
    std::vector<long long> calls_;
};

// A small JSON writer: numbers, texts, flags, in the order they are written.
class Json {
  public:
    Json& Raw(std::string_view text) {
        out_ += text;
        return *this;
    }
    Json& Key(std::string_view name) {
        Separate();
        Quote(name);
        out_ += ':';
        first_ = true;
        return *this;
    }
    Json& Text(std::string_view text) {
        Separate();
        Quote(text);
        return *this;
    }
    Json& Number(double value) {
        Separate();
        if (!std::isfinite(value)) {
            out_ += "null";
        } else {
            char text[32];
            std::snprintf(text, sizeof text, "%.10g", value);
            out_ += text;
        }
        return *this;
    }
    Json& Flag(bool on) {
        Separate();
        out_ += on ? "true" : "false";
        return *this;
    }
    Json& Open(char bracket) {
        Separate();
        out_ += bracket;
        first_ = true;
        return *this;
    }
    Json& Close(char bracket) {
        out_ += bracket;
        first_ = false;
        return *this;
    }
    std::string& Result() { return out_; }

  private:
    void Quote(std::string_view text) {
        out_ += '"';
        for (const char c : text) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += c;
            } else if (u < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
                out_ += escaped;
            } else {
                out_ += c;
            }
        }
        out_ += '"';
    }
    void Separate() {
        if (!first_) out_ += ',';
        first_ = false;
    }
    std::string out_;
    bool first_ = true;
};

const char* KindName(ControlEntry::Kind kind) {
    switch (kind) {
    case ControlEntry::Kind::Label:
        return "label";
    case ControlEntry::Kind::Button:
        return "button";
    case ControlEntry::Kind::Toggle:
        return "toggle";
    case ControlEntry::Kind::ComboBox:
        return "combo";
    case ControlEntry::Kind::Shape:
        return "shape";
    case ControlEntry::Kind::Line:
        return "line";
    }
    return "";
}

// What a control shows now (everything a user action or a tick can change).
void WriteState(Json& j, const ControlEntry& e) {
    const Control& c = *e.Model;
    j.Open('{');
    j.Key("caption").Text(c.Caption).Key("visible").Flag(c.Visible);
    j.Key("left").Number(c.Left).Key("top").Number(c.Top);
    j.Key("width").Number(c.Width).Key("height").Number(c.Height);
    j.Key("back").Number(c.BackColor).Key("fore").Number(c.ForeColor);
    j.Key("border").Number(c.BorderColor).Key("fill").Number(c.FillColor);
    j.Key("borderWidth").Number(c.BorderWidth).Key("font").Number(c.FontSize);
    j.Key("value").Number(c.Value).Key("tip").Text(c.ToolTip);
    if (e.Type == ControlEntry::Kind::Line)
        j.Key("x1").Number(c.X1).Key("y1").Number(c.Y1).Key("x2").Number(c.X2).Key("y2").Number(
            c.Y2);
    if (e.Type == ControlEntry::Kind::Shape)
        j.Key("circle")
            .Flag(c.Shape == ShapeForm::Circle)
            .Key("opaque")
            .Flag(c.Opaque)
            .Key("solid")
            .Flag(c.SolidFill);
    if (e.Type == ControlEntry::Kind::ComboBox) {
        const ComboBox& box = e.Combo();
        j.Key("text").Text(box.Text).Key("list").Open('[');
        for (const std::string& entry : box.List) j.Text(entry);
        j.Close(']');
    }
    j.Close('}');
}

// A control's state as last handed out to the page.
struct Shown {
    bool fresh = true; // never handed out
    Control control;
    std::string text;
    std::vector<std::string> list;
};

// Whether the control still shows what was handed out: every field WriteState writes.
bool Unchanged(const ControlEntry& e, const Shown& s) {
    const Control& a = *e.Model;
    const Control& b = s.control;
    if (s.fresh || a.Caption != b.Caption || a.Visible != b.Visible || a.Left != b.Left ||
        a.Top != b.Top || a.Width != b.Width || a.Height != b.Height ||
        a.BackColor != b.BackColor || a.ForeColor != b.ForeColor ||
        a.BorderColor != b.BorderColor || a.FillColor != b.FillColor ||
        a.BorderWidth != b.BorderWidth || a.FontSize != b.FontSize || a.Value != b.Value ||
        a.ToolTip != b.ToolTip || a.X1 != b.X1 || a.Y1 != b.Y1 || a.X2 != b.X2 || a.Y2 != b.Y2 ||
        a.Shape != b.Shape || a.Opaque != b.Opaque || a.SolidFill != b.SolidFill)
        return false;
    if (e.Type != ControlEntry::Kind::ComboBox) return true;
    return e.Combo().Text == s.text && e.Combo().List == s.list;
}

void Remember(const ControlEntry& e, Shown& s) {
    s.fresh = false;
    s.control = *e.Model;
    if (e.Type == ControlEntry::Kind::ComboBox) {
        s.text = e.Combo().Text;
        s.list = e.Combo().List;
    }
}

struct Page {
    Form1 form;
    RecordingSurface surface{form};
    std::vector<Shown> shown; // each entry's state as last handed out
    std::string reply;        // the text the last call returned

    Page() {
        form.SetSurface(&surface);
        form.Form_Load();
    }
    ~Page() { form.SetSurface(nullptr); }
};

std::unique_ptr<Page> page;

const char* Reply(std::string text) {
    page->reply = std::move(text);
    return page->reply.c_str();
}

const ControlEntry* Reachable(const char* name, int index, ControlEntry::Kind kind) {
    const ControlEntry* e = page->form.FindControl(name, index);
    if (e == nullptr || e->Type != kind || !e->Model->Visible) return nullptr;
    return e;
}

// Runs a user action or a tick; 1 when it ran, -1 when the program failed
// (which only a script's own random numbers can make it do).
template <typename Action> int Guarded(Action action) {
    try {
        action();
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "maclab: %s\n", e.what());
        return -1;
    }
}

} // namespace

} // namespace maclab::web

using maclab::ControlEntry;
using maclab::web::Guarded;
using maclab::web::Json;
using maclab::web::KindName;
using maclab::web::page;
using maclab::web::Reachable;
using maclab::web::Remember;
using maclab::web::Reply;
using maclab::web::Unchanged;
using maclab::web::WriteState;

extern "C" {

// Starts the program as the window does.  Called once, before anything else.
EMSCRIPTEN_KEEPALIVE int maclab_load() {
    if (!page) page = std::make_unique<maclab::web::Page>();
    return 1;
}

// The window: its size and background, the colour of silence on the medium,
// and the area under the network picture with the colour silence is shown in.
EMSCRIPTEN_KEEPALIVE const char* maclab_form() {
    const maclab::Form1& f = page->form;
    Json j;
    j.Open('{');
    j.Key("width").Number(f.Form.Width).Key("height").Number(f.Form.Height);
    j.Key("back").Number(f.Form.BackColor).Key("silence").Number(f.BackColour);
    j.Key("medium").Open('{');
    j.Key("left").Number(f.Medium.Left).Key("top").Number(f.Medium.Top);
    j.Key("width").Number(f.Medium.Width).Key("height").Number(f.Medium.Height);
    j.Key("back").Number(f.Medium.BackColor);
    j.Close('}').Close('}');
    return Reply(std::move(j.Result()));
}

// The table of controls, bottom to top: name, index, kind, key and what each shows.
EMSCRIPTEN_KEEPALIVE const char* maclab_controls() {
    page->form.RefreshView();
    Json j;
    j.Open('[');
    for (const ControlEntry& e : page->form.Controls()) {
        j.Open('{');
        j.Key("name").Text(e.Name).Key("index").Number(e.Index).Key("count").Number(e.Count);
        j.Key("type").Text(KindName(e.Type)).Key("key").Text(e.Key);
        j.Key("state");
        WriteState(j, e);
        j.Close('}');
    }
    j.Close(']');
    return Reply(std::move(j.Result()));
}

// The controls whose state changed since the last call (all of them the first
// time), as [position in the table, state] pairs.
EMSCRIPTEN_KEEPALIVE const char* maclab_changes() {
    auto& p = *page;
    p.form.RefreshView();
    const auto& table = p.form.Controls();
    p.shown.resize(table.size());
    Json j;
    j.Open('[');
    for (std::size_t k = 0; k < table.size(); ++k) {
        if (Unchanged(table[k], p.shown[k])) continue;
        j.Open('[').Number(static_cast<double>(k));
        WriteState(j, table[k]);
        j.Close(']');
        Remember(table[k], p.shown[k]);
    }
    j.Close(']');
    return Reply(std::move(j.Result()));
}

// The drawing calls since the last fetch, as flat numbers (see RecordingSurface).
EMSCRIPTEN_KEEPALIVE const char* maclab_draws() {
    Json j;
    j.Open('[');
    for (const long long n : page->surface.Take()) j.Number(static_cast<double>(n));
    j.Close(']');
    return Reply(std::move(j.Result()));
}

// A click on a visible button (index -1 for a single one): 1 when it ran, 0
// when there is no such button to click.
EMSCRIPTEN_KEEPALIVE int maclab_click(const char* name, int index) {
    const ControlEntry* e = Reachable(name, index, ControlEntry::Kind::Button);
    if (e == nullptr) return 0;
    return Guarded([e] { page->form.UserClick(*e); });
}

EMSCRIPTEN_KEEPALIVE int maclab_toggle(const char* name) {
    const ControlEntry* e = Reachable(name, -1, ControlEntry::Kind::Toggle);
    if (e == nullptr) return 0;
    return Guarded([e] { page->form.UserToggle(*e->Model); });
}

// A pick of one of the box's list entries.
EMSCRIPTEN_KEEPALIVE int maclab_pick(const char* name, const char* entry) {
    const ControlEntry* e = Reachable(name, -1, ControlEntry::Kind::ComboBox);
    if (e == nullptr) return 0;
    bool listed = false;
    for (const std::string& item : e->Combo().List) listed = listed || item == entry;
    if (!listed) return 0;
    return Guarded([e, entry] { page->form.UserPick(e->Combo(), entry); });
}

// The box's whole text replaced by what the user typed.
EMSCRIPTEN_KEEPALIVE int maclab_edit(const char* name, const char* text) {
    const ControlEntry* e = Reachable(name, -1, ControlEntry::Kind::ComboBox);
    if (e == nullptr) return 0;
    return Guarded([e, text] { page->form.UserEdit(e->Combo(), text); });
}

// A key pressed while nothing is being typed ("Space", "Right", a capital
// letter): the button or toggle it works, if that is shown.
EMSCRIPTEN_KEEPALIVE int maclab_key(const char* key) {
    const ControlEntry* e = page->form.KeyControl(key);
    if (e == nullptr || !e->Model->Visible) return 0;
    if (e->Type == ControlEntry::Kind::Toggle)
        return Guarded([e] { page->form.UserToggle(*e->Model); });
    return Guarded([e] { page->form.UserClick(*e); });
}

// One firing of the clock: a tick while Timer1 is enabled.
EMSCRIPTEN_KEEPALIVE int maclab_tick() {
    if (!page->form.Timer1.Enabled) return 0;
    return Guarded([] { page->form.Timer1_Timer(); });
}

EMSCRIPTEN_KEEPALIVE int maclab_timer_enabled() {
    return page->form.Timer1.Enabled ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int maclab_timer_interval() {
    return page->form.Timer1.Interval;
}

// The panel as the runner's `show` prints it.
EMSCRIPTEN_KEEPALIVE const char* maclab_show() {
    std::ostringstream out;
    maclab::WritePanel(page->form, out);
    return Reply(out.str());
}

// The history samples numbered `from` on (counted since the last reset),
// as far as they are still kept: {"added": N, "first": K, "samples": [[tick,
// utilisation, efficiency, waiting], ...]}, the first of them numbered K.
EMSCRIPTEN_KEEPALIVE const char* maclab_history(double from) {
    const maclab::RunHistory& h = page->form.History;
    const auto added = static_cast<double>(h.Added());
    const double oldest = added - static_cast<double>(h.Size());
    const double first = std::max(oldest, std::min(from, added));
    Json j;
    j.Open('{').Key("added").Number(added).Key("first").Number(first).Key("samples").Open('[');
    for (auto k = static_cast<std::size_t>(first - oldest); k < h.Size(); ++k) {
        const maclab::HistorySample& s = h[k];
        j.Open('[')
            .Number(s.Tick)
            .Number(s.Utilisation)
            .Number(s.Efficiency)
            .Number(static_cast<double>(s.Waiting))
            .Close(']');
    }
    j.Close(']').Close('}');
    return Reply(std::move(j.Result()));
}

// The marks of the symbol kinds, in the order of SymbolKind (the window's
// letters), and the kind of each row of the legend.
EMSCRIPTEN_KEEPALIVE const char* maclab_symbols() {
    using maclab::SymbolKind;
    const maclab::Form1& f = page->form;
    Json j;
    j.Open('{').Key("marks").Open('[');
    for (int k = 0; k < maclab::SymbolKinds; ++k)
        j.Text(maclab::SymbolMark(static_cast<SymbolKind>(k)));
    j.Close(']').Key("legend").Open('[');
    // The legend shows silence in the colour the medium shows it in.
    for (const maclab::Control& swatch : f.shpLegend)
        j.Number(static_cast<double>(swatch.FillColor == f.Medium.BackColor
                                         ? SymbolKind::Silence
                                         : maclab::SymbolKindOf(f, swatch.FillColor)));
    j.Close(']').Close('}');
    return Reply(std::move(j.Result()));
}

// What a sweep of the page's network runs with, or why there is none.
EMSCRIPTEN_KEEPALIVE const char* maclab_sweep_settings() {
    return Reply(maclab::web::SweepSettingsJson(page->form));
}

// The run over time as the window exports it: SVG (1) with its title, or CSV (0).
EMSCRIPTEN_KEEPALIVE const char* maclab_history_chart(int svg, const char* title) {
    return Reply(maclab::web::HistoryChart(page->form, svg != 0, title));
}

} // extern "C"
