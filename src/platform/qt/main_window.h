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
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/form1.h"

class QComboBox;
class QPushButton;
class QSlider;
class QLabel;

namespace maclab::qt {

class Canvas;
class ChartPane;
class NetworkView;

// The face of every control: a sans-serif face at the given point size, sized
// in pixels so that the absolute layout (15 twips to a pixel) holds at every
// scale of the view.
QFont PanelFont(float points, double scale = 1);

class MainWindow final : public QWidget {
  public:
    // With runClock false, nothing ticks unless Tick() is called (measurements,
    // screenshots).
    explicit MainWindow(bool runClock = true, QWidget* parent = nullptr);
    ~MainWindow() override;

    Form1& Model() { return form_; }
    Canvas& Drawing() { return *canvas_; }
    // The network with its panel, scaled to the room it is given.
    NetworkView& View() { return *view_; }
    ChartPane& Charts() { return *charts_; }

    // One firing of the timer: a tick while Timer1 is enabled, then the result shown.
    void Tick();
    // The session as a file (a maclab-run script): written, or opened in
    // place of the running network (which stays as it was when the file is
    // faulty; the reason comes back in error).
    bool SaveSession(const QString& path, QString* error = nullptr);
    bool OpenSession(const QString& path, QString* error = nullptr);
    // Under the network: the timeline of the session, and its two buttons.
    QSlider& Timeline() { return *timeline_; }
    QPushButton& SaveButton() { return *saveButton_; }
    QPushButton& OpenButton() { return *openButton_; }
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

    // Full screen on or off (F11; Esc leaves).
    void ToggleFullScreen();
    // Whether a combo box has the keyboard: keys then type, and none works a control.
    bool Typing() const;

    // The form, with the station table and the chart pane while they are
    // shown, at its own size (form pixels).
    QSize sizeHint() const override;

    // Tooltips: the size of the stations' status texts.
    static constexpr float TipPoints = 12.5f;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    enum class Kind { Label, Button, Toggle, NodeButton, Combo };
    struct Mirror {
        const Control* model;
        Kind kind;
        QWidget* widget;
        bool fresh = true;    // never applied yet
        bool restyle = false; // place, font and caption to be applied again
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
    // A click on a button or toggle, by the mouse or by its key.
    void Activate(const ControlEntry& entry);
    void AddSessionBar();
    void PlaceSessionBar();
    void SyncSessionBar();
    // The view's scale changed: every widget takes its new place and font.
    void Rescale();
    // Places the panes side by side at one scale.
    void Arrange();
    QRect Place(const Control& c) const;

    Form1 form_;
    NetworkView* view_ = nullptr;
    Canvas* canvas_ = nullptr;
    ChartPane* charts_ = nullptr; // beside the view, shown while chkChart is pressed
    std::vector<Mirror> mirrors_;
    std::unordered_map<const Control*, QWidget*> widgets_;
    std::vector<QWidget*> comboEditors_;
    std::unordered_map<const QObject*, int> stationOf_; // a station's button: its number
    QTimer clock_;
    bool runClock_;
    // Set while a combo box's text field handles Return or losing focus: Qt
    // then reports a typed text that equals a list entry as a pick, which the
    // user did not make.
    bool finishingEdit_ = false;
    QSlider* timeline_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* openButton_ = nullptr;
    bool syncingTimeline_ = false;
};

} // namespace maclab::qt
