#include "platform/qt/station_table.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "core/view_colours.h"
#include "platform/qt/colours.h"
#include "platform/qt/main_window.h"

namespace maclab::qt {

namespace {
// Form pixels at scale 1: the rows of 24 stations and the heading fill the
// form's height.
constexpr int RowHeight = 24, HeaderHeight = 40, Margin = 6, Gap = 10;
constexpr float FontPoints = 12; // as the status texts beside the stations were

// The widest words each column holds in a lesson (a wait of over 999 ticks,
// from a packet length in the thousands, is cut short with an ellipsis).
const std::initializer_list<const char*> Widest[StationTable::Columns] = {
    {"23"},
    {"Transmitter", "waits for ACK (999)", "waits for CTS (999)", "medium busy (999)",
     "holds off (999)", "backs off (999)", "sends control frame", "has sent ACK"},
    {"Receiver", "hears own frame", "receives"},
    {"Queue", "queued 101 + token", "queued 101 + poll", "queued 101 + ACK"}};

const char* const Heading[StationTable::Columns] = {"", "Transmitter", "Receiver", "Queue"};

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

// Every other row a shade darker, so the eye follows a row across.
constexpr Long StripeColour = RGB(230, 228, 220);
} // namespace

StationTable::StationTable(const Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    SetScale(1);
    hide();
}

bool StationTable::Wanted() const {
    return form_.chkStatus.Value == 1;
}

QSize StationTable::FormSize() const {
    // Measured once with the face at its own size; a little room to spare
    // for the rounding of other sizes.
    static const int width = [] {
        const QFont font = PanelFont(FontPoints, 1);
        const QFontMetrics metrics(font);
        int w = 2 * Margin;
        for (int c = 0; c < Columns; ++c) {
            int most = 0;
            for (const char* words : Widest[c])
                most = std::max(most, metrics.horizontalAdvance(QString::fromLatin1(words)));
            w += c == Number ? std::max(most + 10, 30) : most + Gap;
        }
        return static_cast<int>(std::ceil(w * 1.03));
    }();
    return {width, Round(form_.Form.Height / TwipsPerPixel)};
}

void StationTable::SetScale(double scale) {
    scale_ = scale;
    font_ = PanelFont(FontPoints, scale);
    header_ = font_;
    header_.setBold(true);
    rowHeight_ = std::max(1, Round(RowHeight * scale));
    headerHeight_ = Round(HeaderHeight * scale);
    margin_ = Round(Margin * scale);
    Measure();
    update();
}

void StationTable::Measure() {
    // The columns share the width in the proportions of their widest words
    // at scale 1, so that they line up the same at every size.
    const QFontMetrics metrics(PanelFont(FontPoints, 1));
    std::array<double, Columns> natural{};
    double total = 0;
    for (int c = 0; c < Columns; ++c) {
        int most = 0;
        for (const char* words : Widest[c])
            most = std::max(most, metrics.horizontalAdvance(QString::fromLatin1(words)));
        natural[c] = c == Number ? std::max(most + 10, 30) : most + Gap;
        total += natural[c];
    }
    const double room = FormSize().width() * scale_ - 2 * margin_;
    double x = margin_;
    for (int c = 0; c < Columns; ++c) {
        const double w = room * natural[c] / total;
        // The gap after each column: a little after the swatch, more after words.
        const double gap = (c == Number ? 6 : Gap) * scale_;
        left_[c] = Round(x);
        width_[c] = std::max(1, Round(x + w - gap) - left_[c]);
        x += w;
    }
}

QRect StationTable::RowBox(int row) const {
    return {0, headerHeight_ + row * rowHeight_, width(), rowHeight_};
}

QString StationTable::Text(int row, Column column) const {
    if (row < 0 || row >= rows_) return {};
    return shown_[static_cast<size_t>(row)].text[column];
}

QRect StationTable::TextBox(int row, Column column) const {
    if (row < 0 || row >= rows_) return {};
    const QRect line = RowBox(row);
    if (column == Number) return {left_[Number], line.top() + 1, width_[Number], line.height() - 2};
    const QFontMetrics metrics(font_);
    const int advance = metrics.horizontalAdvance(Text(row, column));
    return {left_[column], line.top(), std::min(advance, width_[column]), line.height()};
}

void StationTable::Sync() {
    int rows = 0;
    for (int i = 0; i < StationControls; ++i) {
        if (!form_.lblTxStatus[i].Visible) break;
        const StationStatus status = form_.DescribeStation(i);
        Row now;
        now.text = {QString::number(i), QString::fromStdString(status.Sender),
                    QString::fromStdString(status.Receiver), QString::fromStdString(status.Queue)};
        now.colour = form_.NodeTable[i].AddressColour;
        Row& was = shown_[static_cast<size_t>(i)];
        if (!(now == was) || i >= rows_) {
            was = std::move(now);
            update(RowBox(i));
        }
        ++rows;
    }
    if (rows < rows_) update(QRect(0, RowBox(rows).top(), width(), height()));
    rows_ = rows;
}

void StationTable::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect area = event->rect();
    p.fillRect(area, ModelColour(form_.Form.BackColor));
    const QColor ink = ModelColour(0);
    if (area.top() < headerHeight_) {
        p.setFont(header_);
        p.setPen(ink);
        const int base = headerHeight_ - rowHeight_;
        for (int c = Sender; c < Columns; ++c)
            p.drawText(QRect(left_[c], base, width_[c], rowHeight_),
                       Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(Heading[c]));
        p.fillRect(QRect(margin_, headerHeight_ - std::max(1, Round(2 * scale_)),
                         width() - 2 * margin_, std::max(1, Round(2 * scale_))),
                   ink);
    }
    p.setFont(font_);
    for (int r = 0; r < rows_; ++r) {
        const QRect line = RowBox(r);
        if (!line.intersects(area)) continue;
        const Row& row = shown_[static_cast<size_t>(r)];
        if (r % 2 == 1)
            p.fillRect(QRect(margin_, line.top(), width() - 2 * margin_, line.height()),
                       ModelColour(StripeColour));
        // The station's number on its colour, as on its button.
        const QRect swatch = TextBox(r, Number);
        p.fillRect(swatch, ModelColour(row.colour));
        p.setPen(ModelColour(ReadableOn(row.colour)));
        p.drawText(swatch, Qt::AlignCenter, row.text[Number]);
        p.setPen(ink);
        const QFontMetrics metrics(font_);
        for (int c = Sender; c < Columns; ++c)
            p.drawText(QRect(left_[c], line.top(), width_[c], line.height()),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       metrics.elidedText(row.text[c], Qt::ElideRight, width_[c]));
    }
}

int StationTable::RowAt(int y) const {
    if (y < headerHeight_) return -1;
    const int row = (y - headerHeight_) / std::max(1, rowHeight_);
    return row < rows_ ? row : -1;
}

bool StationTable::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int row = RowAt(help->pos().y());
        if (row >= 0 && !form_.cmdNode[row].ToolTip.empty())
            QToolTip::showText(help->globalPos(),
                               QString::fromStdString(form_.cmdNode[row].ToolTip), this,
                               RowBox(row));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

} // namespace maclab::qt
