// The stations' status as a table beside the network: one row a station,
// its number on its colour, then its transmitter, its receiver and its queue
// in words.  Shown while "Show Status" is pressed, in place of the status
// texts next to the stations, which cannot all be read once two dozen
// stations crowd the picture.
//
// The words come from Form1::DescribeStation, read afresh at every Sync, so
// the table says what the records hold at once: a station clicked while the
// clock is paused shows its new packet straight away.
#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "core/form1.h"

namespace maclab::qt {

class StationTable final : public QWidget {
  public:
    enum Column { Number = 0, Sender, Receiver, Queue, Columns };

    StationTable(const Form1& form, QWidget* parent);

    // Whether the model wants the table (the status toggle is pressed).
    bool Wanted() const;
    // Width and height in form pixels (15 twips) at scale 1: as tall as the
    // form, as wide as the longest words need.
    QSize FormSize() const;
    // Sizes the fonts and the rows for this many widget pixels per form pixel.
    void SetScale(double scale);
    double Scale() const { return scale_; }
    // Reads every shown station's state and repaints the rows that changed.
    void Sync();

    // For tests and measurements: the rows shown, a cell's words, and the box
    // the words of a cell (or the station's swatch) are drawn in, in widget pixels.
    int Rows() const { return rows_; }
    QString Text(int row, Column column) const;
    QRect TextBox(int row, Column column) const;
    QRect RowBox(int row) const;
    const QFont& TextFont() const { return font_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    struct Row {
        std::array<QString, Columns> text;
        Long colour = 0;
        bool operator==(const Row&) const = default;
    };
    // Column edges and widths at the current scale.
    void Measure();
    int RowAt(int y) const;

    const Form1& form_;
    double scale_ = 1;
    QFont font_, header_;
    int rowHeight_ = 24, headerHeight_ = 40, margin_ = 8;
    std::array<int, Columns> left_{}, width_{};
    std::array<Row, StationControls> shown_{};
    int rows_ = 0;
};

} // namespace maclab::qt
