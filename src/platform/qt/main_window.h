// The program's one window: a thin layer that shows Form1.
//
// The window owns the Form1 object, runs its start-up, mirrors its model of the
// controls onto Qt widgets, forwards every user action to Form1's entry points,
// drives its tick from a QTimer and paints its drawing surface.  No rule of the
// simulation lives here.
#pragma once

#include <QTimer>
#include <QWidget>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/form1.h"

class QComboBox;
class QPushButton;
class QLabel;

namespace maclab::qt {

class Canvas;
class ChartPane;

// The face of every control: a sans-serif face at the given point size, sized
// in pixels so that the absolute layout (15 twips to a pixel) holds everywhere.
QFont PanelFont(float points);

class MainWindow final : public QWidget {
  public:
    // With runClock false, nothing ticks unless Tick() is called (measurements,
    // screenshots).
    explicit MainWindow(bool runClock = true, QWidget* parent = nullptr);
    ~MainWindow() override;

    Form1& Model() { return form_; }
    Canvas& Drawing() { return *canvas_; }
    ChartPane& Charts() { return *charts_; }

    // One firing of the timer: a tick while Timer1 is enabled, then the result shown.
    void Tick();
    // Shows the model: only the controls whose state changed are touched.
    void Sync();

    // The widget that shows a control of the model (nullptr for shapes and lines,
    // which the canvas paints).
    QWidget* WidgetOf(const Control& control) const;
    QPushButton* ButtonOf(const Control& control) const;
    QComboBox* ComboOf(const ComboBox& box) const;
    QLabel* LabelOf(const Control& control) const;
    // The clock that drives Timer1_Timer.
    const QTimer& Clock() const { return clock_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Kind { Label, Button, Toggle, NodeButton, Combo };
    struct Mirror {
        const Control* model;
        Kind kind;
        QWidget* widget;
        bool fresh = true; // never applied yet
        Control shown;
        std::string shownText;              // combo boxes
        std::vector<std::string> shownList; // combo boxes
    };

    void AddLabel(const Control& label);
    QPushButton* AddButton(const Control& button, Kind kind);
    void AddCombo(ComboBox& box);
    void Apply(Mirror& mirror);
    void ApplyCombo(Mirror& mirror);
    void SyncClock();

    Form1 form_;
    Canvas* canvas_ = nullptr;
    ChartPane* charts_ = nullptr; // beside the canvas, shown while chkChart is pressed
    std::vector<Mirror> mirrors_;
    std::unordered_map<const Control*, QWidget*> widgets_;
    std::vector<QWidget*> comboEditors_;
    QTimer clock_;
    bool runClock_;
    // Set while a combo box's text field handles Return or losing focus: Qt
    // then reports a typed text that equals a list entry as a pick, which the
    // user did not make.
    bool finishingEdit_ = false;
};

} // namespace maclab::qt
