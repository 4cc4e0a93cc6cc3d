// maclab-window-bench: the cost of one tick in the window, painting included.
//
//   maclab-window-bench [--chart] [--shown] [ticks [topology]]
//
// With --chart the chart pane is shown beside the network (its over-time
// chart, drawn afresh every tenth tick); with --shown, everything a lecturer
// can turn on over the network is: the station table (Show Status), a mark in
// every ring (Symbols) and, on Space and Wide Space, every station's reach.
// For each topology: 24 stations, ALOHA, offered traffic 2.0, started; after a
// warm-up, every measured tick runs the simulation step, the window's update of
// its widgets and the painting of everything that changed, synchronously.
// Run it on the offscreen platform (QT_QPA_PLATFORM=offscreen) or a real display.
// Times are the processor time of the whole process (all its threads), so that
// other programs running on the machine do not inflate them; the "machine"
// line shows how far the machine alone stretches a fixed piece of work.
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <vector>

#include "platform/qt/canvas.h"
#include "platform/qt/main_window.h"

namespace {
double CpuMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

struct Figures {
    double mean_us, p99_us, max_us, paints_per_tick, rings_per_tick;
    long most_rings;  // in one tick
    long worst_rings; // drawn in the slowest tick
};

// Counts the rings the tick draws, passing every call on to the canvas.
class CountingSurface final : public maclab::Surface {
  public:
    explicit CountingSurface(maclab::Surface& inner) : inner_(inner) {}
    void Clear() override { inner_.Clear(); }
    void DrawRing(maclab::Long x, maclab::Long y, maclab::Integer size,
                  maclab::Long colour) override {
        ++rings;
        inner_.DrawRing(x, y, size, colour);
    }
    void DrawBusSegment(maclab::Long x, maclab::Long y) override { inner_.DrawBusSegment(x, y); }
    void Repaint(maclab::RepaintTarget t, int i) override { inner_.Repaint(t, i); }
    long rings = 0;

  private:
    maclab::Surface& inner_;
};

bool WithChart = false;
bool AllShown = false;

// Presses the toggles of --shown (Reach only where it is shown).
void ShowAll(maclab::Form1& form) {
    if (!AllShown) return;
    for (maclab::Control* toggle : {&form.chkStatus, &form.chkSymbols, &form.chkReach})
        if (toggle->Visible && toggle->Value == 0) form.UserToggle(*toggle);
}

Figures Measure(const char* topology, int ticks) {
    maclab::qt::MainWindow window(false);
    if (WithChart) window.Model().UserToggle(window.Model().chkChart);
    window.Sync();
    window.show();
    QApplication::processEvents();
    maclab::Form1& form = window.Model();
    CountingSurface counter(window.Drawing());
    form.SetSurface(&counter);
    form.UserPick(form.cmbTopology, topology);
    form.UserPick(form.cmbNodes, " 24");
    form.cmdStart_Click(0);
    form.UserPick(form.cmbOT, "2.0");
    ShowAll(form);
    window.Sync();
    // No text cursor blinking in a focused box: its repaints are not the tick's.
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    QApplication::processEvents();
    for (int t = 0; t < 300; ++t) {
        window.Tick();
        QApplication::processEvents();
    }
    std::vector<double> us;
    us.reserve(static_cast<size_t>(ticks));
    const long paints0 = window.Drawing().PaintCount();
    counter.rings = 0;
    long mostRings = 0, worstRings = 0;
    double worst = 0;
    for (int t = 0; t < ticks; ++t) {
        const long ringsBefore = counter.rings;
        const double start = CpuMicroseconds();
        window.Tick();
        // Hand the pending paint to Qt now and let it paint and flush.
        QApplication::processEvents();
        us.push_back(CpuMicroseconds() - start);
        mostRings = std::max(mostRings, counter.rings - ringsBefore);
        if (us.back() > worst) {
            worst = us.back();
            worstRings = counter.rings - ringsBefore;
        }
    }
    form.SetSurface(&window.Drawing());
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double v : us) sum += v;
    return {sum / ticks,
            us[static_cast<size_t>(ticks * 0.99)],
            us.back(),
            double(window.Drawing().PaintCount() - paints0) / ticks,
            double(counter.rings) / ticks,
            mostRings,
            worstRings};
}
// The heaviest drawing a tick can ask for: every cell of 24 stations in Space
// (nine rings each, radius up to 192 pixels) changes colour at once.
double EveryCellOfSpace(int rounds) {
    maclab::qt::MainWindow window(false);
    if (WithChart) window.Model().UserToggle(window.Model().chkChart);
    window.Sync();
    window.show();
    maclab::Form1& form = window.Model();
    form.UserPick(form.cmbTopology, "Space");
    form.UserPick(form.cmbNodes, " 24");
    ShowAll(form);
    window.Sync();
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    QApplication::processEvents();
    double total = 0;
    for (int r = 0; r < rounds; ++r) {
        const double start = CpuMicroseconds();
        for (int i = 0; i < 24; ++i) {
            const maclab::Node& s = form.NodeTable[static_cast<size_t>(i)];
            for (int k = 0; k < 9; ++k)
                window.Drawing().DrawRing(s.CellX[k], s.CellY[k], s.CellSize[k],
                                          r % 2 ? s.AddressColour : s.DataColour);
        }
        window.Sync();
        QApplication::processEvents();
        total += CpuMicroseconds() - start;
    }
    return total / rounds;
}
// The machine's own stalls, for reading the worst tick against: the same
// fixed piece of arithmetic (about 100 us) timed over and over for as long as
// the topologies were measured.  On a shared virtual machine the worst of
// these can reach milliseconds though no program code runs any longer.
void MachineStalls(double seconds) {
    volatile double sink = 0;
    const auto piece = [&sink] {
        for (int k = 0; k < 40000; ++k) sink = sink + k * 0.5;
    };
    std::vector<double> us;
    for (double spent = 0; spent < seconds * 1e6;) {
        const double start = CpuMicroseconds();
        piece();
        us.push_back(CpuMicroseconds() - start);
        spent += us.back();
    }
    std::sort(us.begin(), us.end());
    const double median = us[us.size() / 2];
    const auto over = std::count_if(us.begin(), us.end(), [](double v) { return v > 2000; });
    std::printf("machine: a fixed %.0f us of arithmetic, %zu times: max %.0f us, %ld over 2 ms\n",
                median, us.size(), us.back(), static_cast<long>(over));
}
// The over-time chart when full: 24 stations on Bus run 100,000 ticks with the
// pane hidden, so the history holds its 10,000 samples; then, with the pane
// shown, the ticks that bring a new sample (every tenth) and the others.
void FullChart(int ticks) {
    maclab::qt::MainWindow window(false);
    window.show();
    maclab::Form1& form = window.Model();
    form.UserPick(form.cmbTopology, "Bus");
    form.UserPick(form.cmbNodes, " 24");
    form.cmdStart_Click(0);
    form.UserPick(form.cmbOT, "2.0");
    for (int t = 0; t < 100000; ++t) form.Timer1_Timer();
    form.UserToggle(form.chkChart);
    window.Sync();
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    QApplication::processEvents();
    for (int t = 0; t < 300; ++t) {
        window.Tick();
        QApplication::processEvents();
    }
    std::vector<double> with, without;
    for (int t = 0; t < ticks; ++t) {
        const auto added = form.History.Added();
        const double start = CpuMicroseconds();
        window.Tick();
        QApplication::processEvents();
        (form.History.Added() != added ? with : without).push_back(CpuMicroseconds() - start);
    }
    for (auto* v : {&with, &without}) {
        std::sort(v->begin(), v->end());
        double sum = 0;
        for (double x : *v) sum += x;
        std::printf("Bus, chart of %zu samples, ticks %s a new sample: mean %.1f us, max %.1f us\n",
                    form.History.Size(), v == &with ? "with" : "without", sum / v->size(),
                    v->back());
    }
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    for (;;) {
        if (argc > 1 && std::string_view(argv[1]) == "--chart")
            WithChart = true;
        else if (argc > 1 && std::string_view(argv[1]) == "--shown")
            AllShown = true;
        else
            break;
        --argc;
        ++argv;
    }
    const int ticks = argc > 1 ? std::max(100, std::atoi(argv[1])) : 2000;
    std::printf("%-11s %9s %9s %9s %12s %11s %10s %12s\n", "topology", "mean us", "p99 us",
                "max us", "paints/tick", "rings/tick", "max rings", "slowest had");
    const double began = CpuMicroseconds();
    for (const char* topology : {"Bus", "Star", "Ring", "Space", "Wide Space"}) {
        if (argc > 2 && QString::fromLocal8Bit(argv[2]) != QLatin1String(topology)) continue;
        const Figures f = Measure(topology, ticks);
        std::printf("%-11s %9.1f %9.1f %9.1f %12.2f %11.1f %10ld %12ld\n", topology, f.mean_us,
                    f.p99_us, f.max_us, f.paints_per_tick, f.rings_per_tick, f.most_rings,
                    f.worst_rings);
    }
    if (argc <= 2)
        std::printf("Space, all 216 rings redrawn in one tick: %.1f us\n", EveryCellOfSpace(200));
    MachineStalls((CpuMicroseconds() - began) / 1e6);
    if (WithChart) FullChart(ticks);
    return 0;
}
