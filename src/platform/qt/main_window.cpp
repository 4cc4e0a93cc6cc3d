#include "platform/qt/main_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <cmath>

#include "platform/qt/canvas.h"
#include "platform/qt/chart_pane.h"
#include "platform/qt/colours.h"

namespace maclab::qt {

namespace {

// A station's button: a plain raised box in the station's colour, drawn the
// classic way.  Two dozen of them sit on the medium and are painted again
// whenever a ring under them changes, so they must be cheap to paint.
class NodeButton final : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        p.fillRect(r, palette().color(QPalette::Button));
        const QColor light = Qt::white, shade(128, 128, 128), dark = Qt::black;
        const bool down = isDown();
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
        if (!text().trimmed().isEmpty()) {
            p.setPen(palette().color(QPalette::ButtonText));
            p.drawText(r, Qt::AlignCenter, text());
        }
    }
};

QRect PixelGeometry(const Control& c) {
    const auto px = [](float twips) {
        return static_cast<int>(std::lround(twips / TwipsPerPixel));
    };
    return QRect(px(c.Left), px(c.Top), px(c.Width), px(c.Height));
}

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

bool SameControl(const Control& a, const Control& b) {
    return a.Caption == b.Caption && a.Visible == b.Visible && a.Left == b.Left && a.Top == b.Top &&
           a.Width == b.Width && a.Height == b.Height && a.BackColor == b.BackColor &&
           a.ForeColor == b.ForeColor && a.FontSize == b.FontSize && a.Value == b.Value;
}

bool EndsEditing(const QEvent* event) {
    if (event->type() == QEvent::FocusOut) return true;
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

QFont PanelFont(float points) {
    QFont font;
    font.setFamilies(
        {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    // Points at 96 dots per inch, the density the twip layout assumes.
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
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
    const int room = width - 8;
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

} // namespace

MainWindow::MainWindow(bool runClock, QWidget* parent) : QWidget(parent), runClock_(runClock) {
    setWindowTitle(QStringLiteral("maclab \u2014 medium access control"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ModelColour(form_.Form.BackColor));
    setPalette(palette);
    setAutoFillBackground(true);

    // The drawing surface paints the network picture (the shapes and lines of
    // the table); every other control of the table becomes a widget over it,
    // stacked in the table's order.
    canvas_ = new Canvas(form_, this);
    // The charts sit beside the network picture, never over it: the window
    // takes the width of both while they are shown.
    canvas_->setFixedSize(PixelGeometry(form_.Form).size());
    charts_ = new ChartPane(form_, this);
    charts_->setFixedHeight(canvas_->height());
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->setSizeConstraint(QLayout::SetFixedSize);
    row->addWidget(canvas_, 0, Qt::AlignTop | Qt::AlignLeft);
    row->addWidget(charts_, 0, Qt::AlignTop);
    for (const ControlEntry& entry : form_.Controls()) {
        switch (entry.Type) {
        case ControlEntry::Kind::Label:
            AddLabel(*entry.Model);
            break;
        case ControlEntry::Kind::ComboBox:
            AddCombo(entry.Combo());
            break;
        case ControlEntry::Kind::Toggle:
            connect(AddButton(*entry.Model, Kind::Toggle), &QPushButton::clicked, this,
                    [this, &entry] {
                        form_.UserToggle(*entry.Model);
                        Sync();
                    });
            break;
        case ControlEntry::Kind::Button:
            connect(
                AddButton(*entry.Model, entry.Model->Graphical ? Kind::NodeButton : Kind::Button),
                &QPushButton::clicked, this, [this, &entry] {
                    form_.UserClick(entry);
                    Sync();
                });
            break;
        case ControlEntry::Kind::Shape:
        case ControlEntry::Kind::Line:
            break;
        }
    }

    // The keys of the control table, each a click on its control; a text
    // field being typed in takes its letters first.
    for (const ControlEntry& entry : form_.Controls()) {
        if (entry.Key.empty()) continue;
        const QKeySequence key(QString::fromLatin1(entry.Key.data(), qsizetype(entry.Key.size())));
        connect(new QShortcut(key, this), &QShortcut::activated, this, [this, &entry] {
            if (!entry.Model->Visible) return;
            if (entry.Type == ControlEntry::Kind::Toggle)
                form_.UserToggle(*entry.Model);
            else
                form_.UserClick(entry);
            Sync();
        });
    }

    clock_.setTimerType(Qt::PreciseTimer);
    connect(&clock_, &QTimer::timeout, this, &MainWindow::Tick);

    form_.SetSurface(canvas_);
    form_.Form_Load();
    Sync();
}

MainWindow::~MainWindow() {
    // The canvas goes with the widgets; the model must not draw on it afterwards.
    form_.SetSurface(nullptr);
    for (QWidget* editor : comboEditors_) editor->removeEventFilter(this);
}

void MainWindow::AddLabel(const Control& label) {
    auto* widget = new QLabel(this);
    widget->setTextFormat(Qt::PlainText);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    widget->setWordWrap(true);
    widget->setAutoFillBackground(true);
    widget->hide();
    mirrors_.push_back({&label, Kind::Label, widget, true, {}, {}, {}});
    widgets_[&label] = widget;
}

QPushButton* MainWindow::AddButton(const Control& button, Kind kind) {
    QPushButton* widget = kind == Kind::NodeButton ? new NodeButton(this) : new QPushButton(this);
    widget->setCheckable(kind == Kind::Toggle);
    widget->setAutoDefault(false);
    widget->hide();
    mirrors_.push_back({&button, kind, widget, true, {}, {}, {}});
    widgets_[&button] = widget;
    return widget;
}

void MainWindow::AddCombo(ComboBox& box) {
    auto* widget = new QComboBox(this);
    widget->setEditable(true);
    // The box accepts any text and never adds typed text to its list; the
    // completer would rewrite what the user types.
    widget->setInsertPolicy(QComboBox::NoInsert);
    widget->setCompleter(nullptr);
    widget->setMaxVisibleItems(12);
    widget->hide();
    QLineEdit* editor = widget->lineEdit();
    editor->installEventFilter(this);
    comboEditors_.push_back(editor);
    // Keystrokes only: a pick also changes the text, but must run only the pick handler.
    connect(editor, &QLineEdit::textEdited, this, [this, &box](const QString& text) {
        form_.UserEdit(box, text.toStdString());
        Sync();
    });
    connect(widget, &QComboBox::activated, this, [this, &box, widget](int index) {
        if (finishingEdit_ || index < 0) return;
        form_.UserPick(box, widget->itemText(index).toStdString());
        Sync();
    });
    mirrors_.push_back({&box, Kind::Combo, widget, true, {}, {}, {}});
    widgets_[&box] = widget;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
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
    if (form_.Timer1.Enabled) form_.Timer1_Timer();
    Sync();
}

void MainWindow::Sync() {
    form_.RefreshView();
    for (Mirror& mirror : mirrors_) Apply(mirror);
    canvas_->SyncShapes();
    canvas_->Flush();
    charts_->Sync();
    SyncClock();
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
    if (!m.fresh && SameControl(c, m.shown)) return;
    Control& was = m.shown;
    QWidget* w = m.widget;
    const bool all = m.fresh;
    if (all || c.Left != was.Left || c.Top != was.Top || c.Width != was.Width ||
        c.Height != was.Height)
        w->setGeometry(PixelGeometry(c));
    if (all || c.FontSize != was.FontSize) w->setFont(PanelFont(c.FontSize));
    if (all || c.Caption != was.Caption || c.FontSize != was.FontSize || c.Width != was.Width) {
        if (m.kind == Kind::Label)
            static_cast<QLabel*>(w)->setText(Text(c.Caption));
        else
            static_cast<QPushButton*>(w)->setText(
                ButtonCaption(c.Caption, w->font(), PixelGeometry(c).width()));
    }
    if (all || c.BackColor != was.BackColor || c.ForeColor != was.ForeColor) {
        if (m.kind == Kind::Label) {
            QPalette p = w->palette();
            p.setColor(QPalette::Window, ModelColour(c.BackColor));
            p.setColor(QPalette::WindowText, ModelColour(c.ForeColor));
            w->setPalette(p);
        } else if (m.kind == Kind::NodeButton) {
            QPalette p = w->palette();
            p.setColor(QPalette::Button, ModelColour(c.BackColor));
            w->setPalette(p);
        }
    }
    if (m.kind == Kind::Toggle && (all || c.Value != was.Value)) {
        const QSignalBlocker quiet(w);
        static_cast<QPushButton*>(w)->setChecked(c.Value == 1);
    }
    if (all || c.Visible != was.Visible) w->setVisible(c.Visible);
    was = c;
    m.fresh = false;
}

void MainWindow::ApplyCombo(Mirror& m) {
    const auto& c = static_cast<const ComboBox&>(*m.model);
    auto* w = static_cast<QComboBox*>(m.widget);
    const bool all = m.fresh;
    if (all || !SameControl(c, m.shown)) {
        if (all || c.Left != m.shown.Left || c.Top != m.shown.Top || c.Width != m.shown.Width ||
            c.Height != m.shown.Height)
            w->setGeometry(PixelGeometry(c));
        if (all || c.FontSize != m.shown.FontSize) w->setFont(PanelFont(c.FontSize));
        if (all || c.Visible != m.shown.Visible) w->setVisible(c.Visible);
        m.shown = c;
    }
    bool listChanged = false;
    if (all || c.List != m.shownList) {
        const QSignalBlocker quiet(w);
        w->clear();
        QStringList items;
        for (const std::string& entry : c.List) items.push_back(Text(entry));
        w->addItems(items);
        m.shownList = c.List;
        listChanged = true;
    }
    if (all || listChanged || c.Text != m.shownText) {
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
