// Colours, row bands and the hints of the empty list.
#include "controls/ReportCtrl.h"

#include "controls/ReportModel.h"
#include "controls/ReportRowReader.h"
#include "platform/Ticks.h"

#include <QPainter>
#include <QPalette>

#include <array>

namespace tavora::controls {
namespace {

Colour FromQColor(const QColor& c) {
    return MakeColour(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                      static_cast<uint8_t>(c.blue()));
}

const std::array<const char*, 4> kEmptyHints = {
    "Load your files by clicking the \"Add Files\" toolbar button",
    "Right click items in the file list, then click the floating popup menu to perform various "
    "file operations",
    "Click the column header to sort the file list",
    "Right click the column header, then click the floating popup menu to show/hide columns",
};

constexpr QRgb kHintTextColour = qRgb(106, 106, 255);

} // namespace

Colour CReportCtrl::SystemTextColour() const {
    return FromQColor(palette().color(QPalette::Text));
}

Colour CReportCtrl::SystemBackColour() const {
    return FromQColor(palette().color(QPalette::Base));
}

bool CReportCtrl::IsRowUnusable(int row) const {
    const RowRecord* record = model_->Record(row);
    return record && record->data && reader_->IsUnusable(record->data);
}

void CReportCtrl::SetCellTextColour(int row, int column, Colour colour, bool redraw) {
    if (OffGuiThread())
        return OnGuiThread([&] { SetCellTextColour(row, column, colour, redraw); });
    SetCellColour(row, column, colour, true, redraw);
}

void CReportCtrl::SetCellBackColour(int row, int column, Colour colour, bool redraw) {
    if (OffGuiThread())
        return OnGuiThread([&] { SetCellBackColour(row, column, colour, redraw); });
    SetCellColour(row, column, colour, false, redraw);
}

void CReportCtrl::SetCellColour(int row, int column, Colour colour, bool text, bool redraw) {
    if (colour == kSystemColour)
        colour = text ? SystemTextColour() : SystemBackColour();
    const int rows = model_->RowCount();
    const int columns = model_->ColumnCount();
    // An index outside the list stands for all rows or all columns.
    const bool oneRow = model_->ValidRow(row);
    const bool oneColumn = model_->ValidColumn(column);
    const int firstRow = oneRow ? row : 0;
    const int lastRow = oneRow ? row : rows - 1;
    const int firstColumn = oneColumn ? column : 0;
    const int lastColumn = oneColumn ? column : columns - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        RowRecord* record = model_->Record(r);
        if (!record)
            continue;
        auto& colours = text ? record->textColours : record->backColours;
        for (int c = firstColumn; c <= lastColumn && c < static_cast<int>(colours.size()); ++c)
            colours[static_cast<size_t>(c)] = colour;
    }
    model_->ColoursChanged(firstRow, lastRow, firstColumn, lastColumn);
    if (redraw)
        RepaintNow();
}

Colour CReportCtrl::GetCellTextColour(int row, int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetCellTextColour(row, column); });
    const RowRecord* record = model_->Record(row);
    if (!record || column < 0 || column >= static_cast<int>(record->textColours.size()))
        return kSystemColour;
    return record->textColours[static_cast<size_t>(column)];
}

Colour CReportCtrl::GetCellBackColour(int row, int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetCellBackColour(row, column); });
    const RowRecord* record = model_->Record(row);
    if (!record || column < 0 || column >= static_cast<int>(record->backColours.size()))
        return kSystemColour;
    return record->backColours[static_cast<size_t>(column)];
}

void CReportCtrl::PaintRowBands(bool highlight) {
    if (OffGuiThread())
        return OnGuiThread([&] { PaintRowBands(highlight); });
    SetUpdates(false);
    const int sortColumn = sortKeys_.empty() ? -1 : sortKeys_.front().column;
    const int rows = model_->RowCount();
    for (int r = 0; r < rows; ++r) {
        RowRecord* record = model_->Record(r);
        if (!record)
            continue;
        const bool odd = (r & 1) != 0;
        const bool unusable = IsRowUnusable(r);
        const Colour band = unusable ? kBandUnusable : (odd ? kBandOdd : kBandEven);
        const Colour tint = odd ? kBandOddSortColumn : kBandEvenSortColumn;
        auto& colours = record->backColours;
        std::fill(colours.begin(), colours.end(), band);
        if (!unusable && highlight && sortColumn >= 0 &&
            sortColumn < static_cast<int>(colours.size()))
            colours[static_cast<size_t>(sortColumn)] = tint;
    }
    model_->ColoursChanged(0, rows - 1, 0, model_->ColumnCount() - 1);
    SetUpdates(true);
    RepaintNow();
}

std::string CReportCtrl::EmptyHintText(uint32_t ticks) {
    return kEmptyHints[(ticks / 6000) % 4];
}

void CReportCtrl::SetUpdates(bool enabled) {
    setUpdatesEnabled(enabled);
    if (enabled && layoutDeferred_) {
        layoutDeferred_ = false;
        QTreeView::doItemsLayout();
    }
}

void CReportCtrl::doItemsLayout() {
    // Laying out all rows after every inserted row would make a load quadratic;
    // with redraw off nothing is shown, so the layout waits until redraw is on.
    if (!updatesEnabled()) {
        layoutDeferred_ = true;
        return;
    }
    layoutDeferred_ = false;
    QTreeView::doItemsLayout();
}

void CReportCtrl::paintEvent(QPaintEvent* event) {
    if (layoutDeferred_) // redraw was turned on behind the control's back
        doItemsLayout();
    QTreeView::paintEvent(event);
    if (showHints_ && model_->RowCount() == 0)
        DrawEmptyHint();
}

void CReportCtrl::DrawEmptyHint() {
    const QString hint = QString::fromStdString(EmptyHintText(platform::TickCount()));
    QFont font;
    font.setFamilies({QStringLiteral("Trebuchet MS"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(15.6);

    // The viewport is the area below the header. The first line sits one line
    // above the middle; longer hints wrap onto further lines below it.
    QRect area = viewport()->rect();
    const QFontMetrics metrics(font);
    area.setTop(area.top() + area.height() / 2 - metrics.height());

    QPainter painter(viewport());
    painter.setFont(font);
    painter.setPen(QColor(kHintTextColour));
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, hint);
}

} // namespace tavora::controls
