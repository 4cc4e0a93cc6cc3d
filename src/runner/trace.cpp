// Text forms of the medium, the drawing, the tick and the panel.
#include "runner/trace.h"

#include <initializer_list>
#include <string_view>

namespace maclab {

namespace {
void AppendNumber(std::string& text, long long n) {
    text += std::to_string(n);
}

// Positions are held in single precision; the panel shows whole twips.
long long Twips(float position) {
    return CLng(static_cast<double>(position));
}

const char* Flag(bool on) {
    return on ? "1" : "0";
}
} // namespace

void AppendSymbol(std::string& text, const Form1& form, Long colour) {
    if (colour == form.BackColour) {
        text += '.';
    } else if (colour == CollisionColour) {
        text += 'X';
    } else if (colour == EndMarker) {
        text += 'E';
    } else if (colour == form.ColourWhite) {
        text += 'W';
    } else if (colour == form.ColourGrey192) {
        text += 'R';
    } else if (colour == form.ColourGrey240) {
        text += 'C';
    } else if (colour == form.ColourGrey224) {
        text += 'T';
    } else if (colour == form.ColourGrey248) {
        text += 'K';
    } else {
        for (int k = 0; k < StationRecords; ++k) {
            if (colour == form.NodeTable[k].AddressColour) {
                text += 'A';
                AppendNumber(text, k);
                return;
            }
        }
        for (int k = 0; k < StationRecords; ++k) {
            if (colour == form.NodeTable[k].DataColour) {
                text += 'd';
                AppendNumber(text, k);
                return;
            }
        }
        text += '#';
        AppendNumber(text, colour);
    }
}

void TraceSurface::Emit(const std::string& line, bool isClear) {
    out_ << line << '\n';
    lastPrintedWasClear_ = isClear;
}

void TraceSurface::Clear() {
    if (!tracing_ || lastPrintedWasClear_) return;
    Emit("clear", true);
}

void TraceSurface::DrawRing(Long x, Long y, Integer size, Long colour) {
    if (!tracing_) return;
    line_ = "ring ";
    AppendNumber(line_, x);
    line_ += ' ';
    AppendNumber(line_, y);
    line_ += ' ';
    AppendNumber(line_, size);
    line_ += ' ';
    AppendSymbol(line_, form_, colour);
    Emit(line_, false);
}

void TraceSurface::DrawBusSegment(Long x, Long y) {
    if (!tracing_) return;
    line_ = "bar ";
    AppendNumber(line_, x);
    line_ += ' ';
    AppendNumber(line_, y);
    Emit(line_, false);
}

void TraceSurface::Repaint(RepaintTarget target, int index) {
    if (!tracing_) return;
    switch (target) {
    case RepaintTarget::EndPiece:
        line_ = "repaint Shape4(" + std::to_string(index) + ")";
        break;
    case RepaintTarget::Hub:
        line_ = "repaint Shape1";
        break;
    case RepaintTarget::DropLine:
        line_ = "repaint lneDrop(" + std::to_string(index) + ")";
        break;
    }
    Emit(line_, false);
}

void WriteTickLine(const Form1& form, std::ostream& out) {
    std::string line = "t=";
    AppendNumber(line, form.TickCount);
    const int stepped = form.ActiveStations();
    for (int i = 0; i < stepped; ++i) {
        const Node& s = form.NodeTable[i];
        line += ' ';
        AppendNumber(line, i);
        line += ':';
        for (const long long value :
             {static_cast<long long>(s.TxState), static_cast<long long>(s.RxState),
              static_cast<long long>(s.QueueCount), static_cast<long long>(s.ControlPending),
              static_cast<long long>(s.TxProgress), static_cast<long long>(s.RxProgress),
              static_cast<long long>(s.TxTimer)}) {
            AppendNumber(line, value);
            line += ',';
        }
        line += s.HoldsToken != 0 ? "1," : "0,";
        AppendSymbol(line, form, s.Output);
        line += ',';
        AppendSymbol(line, form, s.Heard);
    }
    line += " | q=";
    AppendNumber(line, form.TotalQueued);
    line += " s=";
    AppendNumber(line, form.TotalSent);
    line += " r=";
    AppendNumber(line, form.TotalReceived);
    line += '\n';
    out << line;
}

void WriteSummary(const Form1& form, std::ostream& out) {
    out << "summary t=" << form.TickCount << " q=" << form.TotalQueued << " s=" << form.TotalSent
        << " r=" << form.TotalReceived << '\n';
}

namespace {
// A control of the window by name (and index), through the table of controls.
const Control& Find(const Form1& form, std::string_view name, int index = -1) {
    return *form.FindControl(name, index)->Model;
}

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

// One field of the panel: its key and the control it shows.
struct Field {
    const char* Key;
    std::string_view Name;
    int Index = -1;
};

// " key=" and the control's caption (its text, for a combo box), quoted.
void WriteCaptions(const Form1& form, std::ostream& out, std::initializer_list<Field> fields) {
    for (const Field& f : fields) {
        const ControlEntry& e = *form.FindControl(f.Name, f.Index);
        out << ' ' << f.Key << '='
            << Quoted(e.Type == ControlEntry::Kind::ComboBox ? e.Combo().Text : e.Model->Caption);
    }
}
} // namespace

void WritePanel(const Form1& form, std::ostream& out) {
    out << "texts";
    WriteCaptions(form, out,
                  {{"topology", "cmbTopology"},
                   {"nodes", "cmbNodes"},
                   {"length", "cmbLength"},
                   {"scheme", "cmbScheme"},
                   {"ot", "cmbOT"}});
    out << "\nbuttons";
    WriteCaptions(form, out,
                  {{"start", "cmdStart", 0},
                   {"pause", "cmdPause"},
                   {"speed", "chkSpeed"},
                   {"status", "chkStatus"},
                   {"reliable", "chkReliable"},
                   {"random", "chkRandom"}});
    out << " random_shown=" << Flag(Find(form, "chkRandom").Visible)
        << " timer=" << Flag(form.Timer1.Enabled) << " interval=" << form.Timer1.Interval
        << " running=" << Flag(form.Running != 0) << "\ntotals";
    WriteCaptions(form, out,
                  {{"tx", "lblTotalTx"},
                   {"rx", "lblTotalRx"},
                   {"queued", "lblTotalQueued"},
                   {"util", "lblUtilisation"},
                   {"eff", "lblEfficiency"},
                   {"dropped", "lblTotalDropped"}});
    out << "\ndecor bus=" << Flag(Find(form, "Line1").Visible)
        << " ends=" << Flag(Find(form, "Shape4", 0).Visible)
        << " hub=" << Flag(Find(form, "Shape1").Visible) << " path=" << form.PathLength << '\n';
    for (int i = 0; i < StationControls; ++i) {
        const Control& shape = Find(form, "shpNode", i);
        out << "node " << i << " shown=" << Flag(shape.Visible);
        if (shape.Visible) {
            const Control& drop = Find(form, "lneDrop", i);
            out << " left=" << Twips(shape.Left) << " top=" << Twips(shape.Top)
                << " fill=" << shape.FillColor << " border=" << shape.BorderColor
                << " button=" << Flag(Find(form, "cmdNode", i).Visible)
                << " drop=" << Flag(drop.Visible);
            if (drop.Visible)
                out << ',' << Twips(drop.X1) << ',' << Twips(drop.Y1) << ',' << Twips(drop.X2)
                    << ',' << Twips(drop.Y2);
            out << " labels=" << Flag(Find(form, "lblTxStatus", i).Visible)
                << " tx=" << Quoted(Find(form, "lblTxStatus", i).Caption)
                << " rx=" << Quoted(Find(form, "lblRxStatus", i).Caption)
                << " q=" << Quoted(Find(form, "lblQueued", i).Caption);
        }
        out << '\n';
    }
}

} // namespace maclab
