#include "platform/qt/main_window.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStaticText>
#include <QToolTip>
#include <climits>
#include <cmath>

#include "platform/qt/canvas.h"
#include "platform/qt/chart_pane.h"
#include "platform/qt/colours.h"
#include "platform/qt/station_table.h"

namespace maclab::qt {

namespace {

// A button or toggle of the panel.  A click gives it the focus (so that it
// ends typing in a box), but keys are never its own: Space, Return and the
// arrows pass to the window, which works the control the key belongs to.
class PanelButton : public QPushButton {
  public:
    explicit PanelButton(QWidget* parent) : QPushButton(parent) {
        setFocusPolicy(Qt::ClickFocus);
        setAutoDefault(false);
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override { event->ignore(); }
    void keyReleaseEvent(QKeyEvent* event) override { event->ignore(); }
};

// A station's button: a plain raised box in the station's colour, drawn the
// classic way.  Two dozen of them sit on the medium and are painted again
// whenever a ring under them changes, so they must be cheap to paint.
class NodeButton final : public PanelButton {
  public:
    explicit NodeButton(QWidget* parent) : PanelButton(parent) {
        // It paints every pixel of its box: nothing under it needs painting.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        // Drawn once per look, then copied: rings change under two dozen of
        // these at every tick.
        const Look look{size(),
                        devicePixelRatioF(),
                        palette().color(QPalette::Button),
                        palette().color(QPalette::ButtonText),
                        text(),
                        font(),
                        isDown()};
        if (!(look == look_) || face_.isNull()) {
            look_ = look;
            face_ = QImage((QSizeF(size()) * look.ratio).toSize(), QImage::Format_RGB32);
            face_.setDevicePixelRatio(look.ratio);
            QPainter p(&face_);
            Draw(p);
        }
        QPainter(this).drawImage(QPointF(0, 0), face_);
    }

  private:
    struct Look {
        QSize size;
        qreal ratio;
        QColor back, fore;
        QString caption;
        QFont font;
        bool down;
        bool operator==(const Look&) const = default;
    };

    void Draw(QPainter& p) {
        const QRect r = rect();
        p.fillRect(r, look_.back);
        const QColor light = Qt::white, shade(128, 128, 128), dark = Qt::black;
        const bool down = look_.down;
        const int w = r.width() - 1, h = r.height() - 1;
        p.setPen(down ? dark : light);
        p.drawLine(0, 0, w - 1, 0);
        p.drawLine(0, 0, 0, h - 1);
        p.setPen(down ? light : dark);
        p.drawLine(0, h, w, h);
        p.drawLine(w, 0, w, h);
        if (!down) {
            p.setPen(shade);
            p.drawLine(1, h - 1, w - 1, h - 1);
            p.drawLine(w - 1, 1, w - 1, h - 1);
        }
        if (look_.caption.trimmed().isEmpty()) return;
        p.setFont(look_.font);
        p.setPen(look_.fore);
        p.drawText(r, Qt::AlignCenter, look_.caption);
    }

    Look look_;
    QImage face_;
};

// A label of the panel: its text laid out once per text, font and width and
// then only drawn, since the tick counter and the totals are painted again
// at every tick.  Plain text from the top left, broken at blanks.
class PanelLabel final : public QLabel {
  public:
    explicit PanelLabel(QWidget* parent) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setWordWrap(true);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (text().isEmpty()) return;
        if (laidOut_.text() != text() || laidFont_ != font() || laidWidth_ != width()) {
            laidOut_.setTextFormat(Qt::PlainText);
            laidOut_.setTextWidth(width());
            laidOut_.setText(text());
            laidOut_.prepare(QTransform(), font());
            laidFont_ = font();
            laidWidth_ = width();
        }
        QPainter p(this);
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawStaticText(QPointF(0, 0), laidOut_);
    }

  private:
    QStaticText laidOut_;
    QFont laidFont_;
    int laidWidth_ = -1;
};

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

bool SameControl(const Control& a, const Control& b) {
    return a.Caption == b.Caption && a.Visible == b.Visible && a.Left == b.Left && a.Top == b.Top &&
           a.Width == b.Width && a.Height == b.Height && a.BackColor == b.BackColor &&
           a.ForeColor == b.ForeColor && a.FontSize == b.FontSize && a.Value == b.Value &&
           a.ToolTip == b.ToolTip;
}

// A widget that types what the keys say: a box's text field, the box itself,
// a number field.
bool TakesTyping(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) != nullptr ||
           qobject_cast<const QComboBox*>(w) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(w) != nullptr;
}

bool IsStatusLabel(const ControlEntry& entry) {
    return entry.Name == "lblTxStatus" || entry.Name == "lblRxStatus" || entry.Name == "lblQueued";
}

bool EndsEditing(const QEvent* event) {
    if (event->type() == QEvent::FocusOut) return true;
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

QFont PanelFont(float points, double scale) {
    QFont font;
    font.setFamilies(
        {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    // Points at 96 dots per inch, the density the twip layout assumes.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0 * scale))));
    // The layout was made for a narrow face: "Packet Length" fits its 153-pixel
    // label there.  A wider face (DejaVu Sans) is narrowed until it does too.
    static const int stretch = [&font] {
        QFont probe = font;
        probe.setPixelSize(24);
        const int width = QFontMetrics(probe).horizontalAdvance(QStringLiteral("Packet Length"));
        return width > 148 ? std::max(75, 148 * 100 / width) : 100;
    }();
    if (stretch != 100) font.setStretch(stretch);
    return font;
}

namespace {

// A caption broken into lines at blanks so that each line fits the button, as
// the taller toggles ("Show Status", "Constant Backoff") are meant to show it.
QString ButtonCaption(const std::string& caption, const QFont& font, int width) {
    const QString text = Text(caption);
    const QFontMetrics metrics(font);
    const int room = width - std::max(2, width / 15);
    if (metrics.horizontalAdvance(text) <= room) return text;
    QString out, line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > room) {
            out += line + QLatin1Char('\n');
            line = word;
        } else {
            line = longer;
        }
    }
    return out + line;
}

// The face of a button's caption: narrowed until its widest line fits (a
// single word cannot be broken).
QFont ButtonFont(QFont font, const QString& lines, int width) {
    const int room = width - std::max(2, width / 15);
    const auto widest = [&lines](const QFont& f) {
        const QFontMetricsF metrics(f);
        qreal most = 0;
        for (const QString& line : lines.split(QLatin1Char('\n')))
            most = std::max(most, metrics.horizontalAdvance(line));
        return most;
    };
    const qreal wide = widest(font);
    if (wide <= room || wide <= 0) return font;
    const int stretch = font.stretch() > 0 ? font.stretch() : 100;
    for (int s = static_cast<int>(stretch * room / wide); s >= 50; --s) {
        font.setStretch(s);
        if (widest(font) <= room) break;
    }
    return font;
}

// A one-line label whose text is wider than its box (a face wider than the
// one the layout was made for) is narrowed until the text fits.
QFont Fitted(QFont font, const QString& text, const QRect& box) {
    const QFontMetricsF metrics(font);
    if (text.isEmpty() || box.height() >= 2 * metrics.lineSpacing()) return font;
    // The exact width: a fraction of a pixel too many wraps the last word
    // onto a line the box cannot show.
    const qreal width = metrics.horizontalAdvance(text);
    if (width <= box.width() || width <= 0) return font;
    const int stretch = font.stretch() > 0 ? font.stretch() : 100;
    // Stretches come in whole per cents, and the face's sizes in steps: the
    // first guess may still be a fraction too wide.
    for (int s = static_cast<int>(stretch * box.width() / width); s >= 50; --s) {
        font.setStretch(s);
        if (QFontMetricsF(font).horizontalAdvance(text) <= box.width()) break;
    }
    return font;
}

} // namespace

MainWindow::MainWindow(bool runClock, QWidget* parent) : QWidget(parent), runClock_(runClock) {
    setWindowTitle(QStringLiteral("maclab \u2014 medium access control"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("maclab")));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ModelColour(form_.Form.BackColor));
    setPalette(palette);
    setAutoFillBackground(true);
    // With no box to type in, the window itself takes the keys.
    setFocusPolicy(Qt::StrongFocus);

    // The panes side by side (see Arrange): the network view, and beside it
    // the charts while they are shown, never over it.
    view_ = new NetworkView(form_, this);
    canvas_ = &view_->Drawing();
    canvas_->OnRescale([this] { Rescale(); });
    QToolTip::setFont(PanelFont(TipPoints, canvas_->Scale()));
    charts_ = new ChartPane(form_, this);

    // The drawing surface paints the network picture (the shapes and lines of
    // the table); every other control of the table becomes a widget over it,
    // stacked in the table's order.
    for (const ControlEntry& entry : form_.Controls()) {
        switch (entry.Type) {
        case ControlEntry::Kind::Label:
            // The stations' status is shown in the station table instead.
            if (!IsStatusLabel(entry)) AddLabel(*entry.Model);
            break;
        case ControlEntry::Kind::ComboBox:
            AddCombo(entry.Combo());
            break;
        case ControlEntry::Kind::Toggle:
            connect(AddButton(*entry.Model, Kind::Toggle), &QPushButton::clicked, this,
                    [this, &entry] { Activate(entry); });
            break;
        case ControlEntry::Kind::Button: {
            QPushButton* button =
                AddButton(*entry.Model, entry.Model->Graphical ? Kind::NodeButton : Kind::Button);
            connect(button, &QPushButton::clicked, this, [this, &entry] { Activate(entry); });
            // The pointer over a station's button is over the station.
            if (entry.Name == "cmdNode") {
                button->installEventFilter(this);
                stationOf_[button] = entry.Index;
            }
            break;
        }
        case ControlEntry::Kind::Shape:
        case ControlEntry::Kind::Line:
            break;
        }
    }

    AddSessionBar();

    clock_.setTimerType(Qt::PreciseTimer);
    connect(&clock_, &QTimer::timeout, this, &MainWindow::Tick);

    // When the widget with the keyboard goes away (the chart pane closes, a
    // button is disabled while a sweep runs), Qt hands the keyboard to the
    // next widget in line, often a box: then the keys would type into a box
    // the user never clicked.  The window takes the keyboard instead.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old == nullptr || now == nullptr || !isAncestorOf(now) || !TakesTyping(now)) return;
        if (!old->isVisible() || !old->isEnabled()) setFocus(Qt::OtherFocusReason);
    });

    form_.SetSurface(canvas_);
    form_.Form_Load();
    Sync();
    // The form's own size to begin with.
    resize(view_->sizeHint());
    Arrange();
    // Keys work the run controls from the start; a box takes them once clicked.
    setFocus();
}

MainWindow::~MainWindow() {
    // The canvas goes with the widgets; the model must not draw on it afterwards.
    form_.SetSurface(nullptr);
    for (QWidget* editor : comboEditors_) editor->removeEventFilter(this);
    for (const Mirror& m : mirrors_)
        if (m.kind == Kind::Combo || m.kind == Kind::NodeButton) m.widget->removeEventFilter(this);
}

QRect MainWindow::Place(const Control& c) const {
    return canvas_->ToWidget(c.Left, c.Top, c.Width, c.Height);
}

void MainWindow::AddLabel(const Control& label) {
    auto* widget = new PanelLabel(canvas_);
    // Text only: whatever lies under a label (the rings of the medium under a
    // station's status) stays visible around its letters.
    widget->setAutoFillBackground(false);
    widget->hide();
    mirrors_.push_back({&label, Kind::Label, widget, true, false, {}, {}, {}});
    widgets_[&label] = widget;
}

QPushButton* MainWindow::AddButton(const Control& button, Kind kind) {
    QPushButton* widget =
        kind == Kind::NodeButton ? new NodeButton(canvas_) : new PanelButton(canvas_);
    widget->setCheckable(kind == Kind::Toggle);
    widget->hide();
    mirrors_.push_back({&button, kind, widget, true, false, {}, {}, {}});
    widgets_[&button] = widget;
    return widget;
}

void MainWindow::AddCombo(ComboBox& box) {
    auto* widget = new QComboBox(canvas_);
    widget->setEditable(true);
    // The box accepts any text and never adds typed text to its list; the
    // completer would rewrite what the user types.
    widget->setInsertPolicy(QComboBox::NoInsert);
    widget->setCompleter(nullptr);
    widget->setMaxVisibleItems(12);
    // The wheel never gives a box the focus (nor, without it, changes its value).
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->installEventFilter(this);
    widget->hide();
    QLineEdit* editor = widget->lineEdit();
    editor->installEventFilter(this);
    comboEditors_.push_back(editor);
    // Keystrokes only: a pick also changes the text, but must run only the pick handler.
    connect(editor, &QLineEdit::textEdited, this, [this, &box](const QString& text) {
        form_.Do(Action::Edit(std::string(form_.EntryOf(box)->Name), text.toStdString()));
        Sync();
    });
    connect(widget, &QComboBox::activated, this, [this, &box, widget](int index) {
        if (finishingEdit_ || index < 0) return;
        form_.Do(Action::Pick(std::string(form_.EntryOf(box)->Name),
                              widget->itemText(index).toStdString()));
        Sync();
    });
    mirrors_.push_back({&box, Kind::Combo, widget, true, false, {}, {}, {}});
    widgets_[&box] = widget;
}

void MainWindow::Activate(const ControlEntry& entry) {
    const std::string name(entry.Name);
    form_.Do(entry.Type == ControlEntry::Kind::Toggle ? Action::Toggle(name)
                                                      : Action::Click(name, entry.Index));
    Sync();
}

bool MainWindow::Typing() const {
    const QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr) return false;
    for (const QWidget* editor : comboEditors_)
        if (focused == editor || focused == editor->parentWidget()) return true;
    return false;
}

namespace {
// The name under which the model knows a key, or empty.
std::string KeyName(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return {};
    const int key = event.key();
    if (key == Qt::Key_Space) return "Space";
    if (key == Qt::Key_Right) return "Right";
    if (key == Qt::Key_Left) return "Left";
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return std::string(1, static_cast<char>(key));
    return {};
}
} // namespace

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (Typing()) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_F11 && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat()) ToggleFullScreen();
        return;
    }
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
        return;
    }
    const ControlEntry* entry = form_.KeyControl(KeyName(*event));
    if (entry == nullptr) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    // The model decides: a hidden control is not worked, and a held key
    // repeats only Step and Back.
    form_.Do(Action::Key(std::string(entry->Key), event->isAutoRepeat()));
    Sync();
}

void MainWindow::ToggleFullScreen() {
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
        if (const auto station = stationOf_.find(watched); station != stationOf_.end())
            canvas_->SetHovered(event->type() == QEvent::Enter && (form_.Topology == TopoSpace ||
                                                                   form_.Topology == TopoWideSpace)
                                    ? station->second
                                    : -1);
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::Wheel) {
        // Over a box without the keyboard focus the wheel does nothing: a
        // lecturer scrolling past must not change the network.
        auto* box = qobject_cast<QComboBox*>(watched);
        if (box == nullptr && watched->parent() != nullptr)
            box = qobject_cast<QComboBox*>(watched->parent());
        if (box != nullptr && !box->hasFocus() && !box->lineEdit()->hasFocus()) return true;
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // Esc ends typing: the keys work the run controls again.
        if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
        return true;
    }
    if (qobject_cast<QComboBox*>(watched) != nullptr) return QWidget::eventFilter(watched, event);
    if (!finishingEdit_ && EndsEditing(event)) {
        // Deliver the event here (this filter lets it pass the second time), so
        // that any pick Qt reports while handling it is known to come from the
        // end of typing, not from the list.
        finishingEdit_ = true;
        QCoreApplication::sendEvent(watched, event);
        finishingEdit_ = false;
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::Tick() {
    form_.Do(Action::Interval());
    Sync();
}

void MainWindow::Sync() {
    form_.RefreshView();
    SyncSessionBar();
    for (Mirror& mirror : mirrors_) Apply(mirror);
    canvas_->SyncShapes();
    canvas_->SyncOverlays();
    canvas_->Flush();
    // A window of its own size grows by the station table or the chart pane
    // when it comes and shrinks when it goes, so that the network keeps its scale.
    const bool ownSize = !isMaximized() && !isFullScreen() && isVisible();
    const double scale = canvas_->Scale();
    const auto pixels = [scale](int formPixels) {
        return static_cast<int>(std::lround(formPixels * scale));
    };
    int grow = 0;
    if (view_->SyncTable())
        grow += pixels(view_->Table().FormSize().width()) * (view_->Table().isHidden() ? -1 : 1);
    const bool charted = !charts_->isHidden();
    charts_->Sync();
    if (charted == charts_->isHidden()) grow += pixels(ChartPane::FormWidth) * (charted ? -1 : 1);
    // (The resize shares the room out afresh; without one, it is shared now.)
    if (grow != 0 && ownSize)
        resize(width() + grow, height());
    else if (grow != 0)
        Arrange();
    SyncClock();
}

QSize MainWindow::sizeHint() const {
    QSize size = view_->sizeHint();
    if (!charts_->isHidden()) size.rwidth() += ChartPane::FormWidth;
    return size;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange();
}

void MainWindow::Arrange() {
    // One scale for the whole window, as if the form, the station table and
    // the chart pane were one picture: each grows with the window alike.
    const QSize whole = sizeHint();
    const double scale = std::max(
        0.05, std::min(double(width()) / whole.width(), double(height()) / whole.height()));
    int chartWidth = 0;
    if (!charts_->isHidden()) {
        chartWidth = static_cast<int>(std::lround(ChartPane::FormWidth * scale));
        charts_->SetScale(scale);
        charts_->setGeometry(width() - chartWidth, 0, chartWidth, height());
    }
    // (Its own size unchanged, the view is told anyway: the table may have come or gone.)
    const QRect room(0, 0, width() - chartWidth, height());
    if (view_->geometry() == room)
        view_->Arrange();
    else
        view_->setGeometry(room);
}

void MainWindow::Rescale() {
    // Tooltips grow with everything else.
    QToolTip::setFont(PanelFont(TipPoints, canvas_->Scale()));
    PlaceSessionBar();
    for (Mirror& mirror : mirrors_) {
        mirror.restyle = true;
        Apply(mirror);
    }
}

void MainWindow::SyncClock() {
    if (!runClock_) return;
    if (!form_.Timer1.Enabled) {
        clock_.stop();
        return;
    }
    const int interval = std::max(1, form_.Timer1.Interval);
    if (!clock_.isActive() || clock_.interval() != interval) clock_.start(interval);
}

void MainWindow::Apply(Mirror& m) {
    const Control& c = *m.model;
    if (m.kind == Kind::Combo) {
        ApplyCombo(m);
        return;
    }
    if (!m.fresh && !m.restyle && SameControl(c, m.shown)) return;
    Control& was = m.shown;
    QWidget* w = m.widget;
    const bool all = m.fresh || m.restyle;
    if (all || c.Left != was.Left || c.Top != was.Top || c.Width != was.Width ||
        c.Height != was.Height)
        w->setGeometry(Place(c));
    if (all || c.FontSize != was.FontSize) w->setFont(PanelFont(c.FontSize, canvas_->Scale()));
    if (all || c.Caption != was.Caption || c.FontSize != was.FontSize || c.Width != was.Width) {
        if (m.kind == Kind::Label) {
            const QString text = Text(c.Caption);
            const QFont font = Fitted(PanelFont(c.FontSize, canvas_->Scale()), text, Place(c));
            if (font != w->font()) w->setFont(font);
            static_cast<QLabel*>(w)->setText(text);
        } else {
            const QFont face = PanelFont(c.FontSize, canvas_->Scale());
            const QString text = ButtonCaption(c.Caption, face, Place(c).width());
            const QFont font = ButtonFont(face, text, Place(c).width());
            if (font != w->font()) w->setFont(font);
            static_cast<QPushButton*>(w)->setText(text);
        }
    }
    if (m.fresh || c.BackColor != was.BackColor || c.ForeColor != was.ForeColor) {
        QPalette p = w->palette();
        if (m.kind == Kind::Label) {
            p.setColor(QPalette::Window, ModelColour(c.BackColor));
            p.setColor(QPalette::WindowText, ModelColour(c.ForeColor));
        } else if (m.kind == Kind::NodeButton) {
            p.setColor(QPalette::Button, ModelColour(c.BackColor));
            p.setColor(QPalette::ButtonText, ModelColour(c.ForeColor));
        }
        w->setPalette(p);
    }
    if (m.fresh || c.ToolTip != was.ToolTip) w->setToolTip(Text(c.ToolTip));
    if (m.kind == Kind::Toggle && (m.fresh || c.Value != was.Value)) {
        const QSignalBlocker quiet(w);
        static_cast<QPushButton*>(w)->setChecked(c.Value == 1);
    }
    if (m.fresh || c.Visible != was.Visible) w->setVisible(c.Visible);
    was = c;
    m.fresh = false;
    m.restyle = false;
}

void MainWindow::ApplyCombo(Mirror& m) {
    const auto& c = static_cast<const ComboBox&>(*m.model);
    auto* w = static_cast<QComboBox*>(m.widget);
    const bool all = m.fresh || m.restyle;
    if (all || !SameControl(c, m.shown)) {
        if (all || c.Left != m.shown.Left || c.Top != m.shown.Top || c.Width != m.shown.Width ||
            c.Height != m.shown.Height)
            w->setGeometry(Place(c));
        if (all || c.FontSize != m.shown.FontSize)
            w->setFont(PanelFont(c.FontSize, canvas_->Scale()));
        if (m.fresh || c.ForeColor != m.shown.ForeColor) {
            // A text that names nothing shows in the model's warning colour.
            QPalette p = w->lineEdit()->palette();
            p.setColor(QPalette::Text, ModelColour(c.ForeColor));
            w->lineEdit()->setPalette(p);
        }
        if (m.fresh || c.ToolTip != m.shown.ToolTip) {
            w->setToolTip(Text(c.ToolTip));
            w->lineEdit()->setToolTip(Text(c.ToolTip));
        }
        if (m.fresh || c.Visible != m.shown.Visible) w->setVisible(c.Visible);
        m.shown = c;
    }
    m.restyle = false;
    bool listChanged = false;
    if (m.fresh || c.List != m.shownList) {
        const QSignalBlocker quiet(w);
        w->clear();
        QStringList items;
        for (const std::string& entry : c.List) items.push_back(Text(entry));
        w->addItems(items);
        m.shownList = c.List;
        listChanged = true;
    }
    if (m.fresh || listChanged || c.Text != m.shownText) {
        const QSignalBlocker quiet(w);
        QLineEdit* editor = w->lineEdit();
        const QString text = Text(c.Text);
        const int cursor = editor->cursorPosition();
        const bool typed = editor->text() == text;
        // The list's current entry follows the text, so that the open list shows
        // it and Qt never takes the end of typing for a pick of another entry.
        const int entry = w->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (entry >= 0 && entry != w->currentIndex()) w->setCurrentIndex(entry);
        if (editor->text() != text) editor->setText(text);
        if (typed) editor->setCursorPosition(cursor);
        m.shownText = c.Text;
    }
    m.fresh = false;
}

QWidget* MainWindow::WidgetOf(const Control& control) const {
    const auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

QPushButton* MainWindow::ButtonOf(const Control& control) const {
    return qobject_cast<QPushButton*>(WidgetOf(control));
}

QComboBox* MainWindow::ComboOf(const ComboBox& box) const {
    return qobject_cast<QComboBox*>(WidgetOf(box));
}

QLabel* MainWindow::LabelOf(const Control& control) const {
    return qobject_cast<QLabel*>(WidgetOf(control));
}

} // namespace maclab::qt

namespace maclab::qt {

namespace {
// Where the session's controls stand, in twips: along the bottom of the
// medium's area, below every station of every layout.
constexpr float BarTop = 9600, BarHeight = 420;
constexpr float SaveLeft = 120, OpenLeft = 2040, ButtonWidth = 1800;
constexpr float TimelineLeft = 3960, TimelineWidth = 5340;
constexpr float BarPoints = 12;
} // namespace

void MainWindow::AddSessionBar() {
    saveButton_ = new PanelButton(canvas_);
    saveButton_->setText(QStringLiteral("Save session\u2026"));
    saveButton_->setToolTip(QStringLiteral(
        "Write everything done since start-up to a .maclab file: opened again, or played by "
        "maclab-run, it shows the same network at the same tick."));
    openButton_ = new PanelButton(canvas_);
    openButton_->setText(QStringLiteral("Open session\u2026"));
    openButton_->setToolTip(QStringLiteral(
        "Play a saved .maclab session from start-up and pause at its end, in place of this one."));
    timeline_ = new QSlider(Qt::Horizontal, canvas_);
    timeline_->setToolTip(QStringLiteral(
        "The session since start-up: while paused, drag to any tick and play on from there "
        "(what came after is then dropped). Left and Right step one tick."));
    timeline_->setFocusPolicy(Qt::NoFocus);
    for (QWidget* w : std::initializer_list<QWidget*>{saveButton_, openButton_})
        w->setFocusPolicy(Qt::NoFocus);
    connect(timeline_, &QSlider::valueChanged, this, [this](int tick) {
        if (syncingTimeline_) return;
        form_.Do(Action::Seek(static_cast<std::uint64_t>(tick)));
        Sync();
    });
    connect(saveButton_, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, QStringLiteral("Save session"), QStringLiteral("session.maclab"),
            QStringLiteral("maclab sessions (*.maclab);;All files (*)"));
        QString error;
        if (!path.isEmpty() && !SaveSession(path, &error))
            QMessageBox::warning(this, QStringLiteral("Save session"), error);
        setFocus();
    });
    connect(openButton_, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("Open session"), QString(),
            QStringLiteral("maclab sessions (*.maclab);;All files (*)"));
        QString error;
        if (!path.isEmpty() && !OpenSession(path, &error))
            QMessageBox::warning(this, QStringLiteral("Open session"), error);
        setFocus();
    });
    PlaceSessionBar();
    for (QWidget* w : std::initializer_list<QWidget*>{saveButton_, openButton_, timeline_})
        w->show();
}

void MainWindow::PlaceSessionBar() {
    if (timeline_ == nullptr) return;
    const QFont font = PanelFont(BarPoints, canvas_->Scale());
    saveButton_->setGeometry(canvas_->ToWidget(SaveLeft, BarTop, ButtonWidth, BarHeight));
    openButton_->setGeometry(canvas_->ToWidget(OpenLeft, BarTop, ButtonWidth, BarHeight));
    timeline_->setGeometry(canvas_->ToWidget(TimelineLeft, BarTop, TimelineWidth, BarHeight));
    saveButton_->setFont(font);
    openButton_->setFont(font);
}

void MainWindow::SyncSessionBar() {
    if (timeline_ == nullptr) return;
    syncingTimeline_ = true;
    const auto end = static_cast<int>(std::min<std::uint64_t>(form_.SessionEnd(), INT_MAX));
    if (timeline_->maximum() != end) timeline_->setMaximum(end);
    const auto now = static_cast<int>(std::min<std::uint64_t>(form_.SessionTick, INT_MAX));
    if (timeline_->value() != now) timeline_->setValue(now);
    // Going back is for a paused clock.
    timeline_->setEnabled(!form_.Timer1.Enabled);
    syncingTimeline_ = false;
}

bool MainWindow::SaveSession(const QString& path, QString* error) {
    QFile file(path);
    const QByteArray text = QByteArray::fromStdString(form_.SessionScript());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        if (error) *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool MainWindow::OpenSession(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    // One byte more than a session may hold, so that a larger file is refused.
    const QByteArray text = file.read(static_cast<qint64>(Form1::MaxSessionText) + 1);
    const Verdict v = form_.OpenSession(std::string_view(text.constData(), text.size()));
    Sync();
    if (!v && error) *error = QStringLiteral("%1: %2").arg(path, QString::fromStdString(v.Reason));
    return static_cast<bool>(v);
}

} // namespace maclab::qt
