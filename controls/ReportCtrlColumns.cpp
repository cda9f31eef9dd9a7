// Columns, their visibility and widths, and the header's notifications and menu.
#include "controls/ReportCtrl.h"

#include "controls/ProcessFlags.h"
#include "controls/ReportHeader.h"
#include "controls/ReportImageList.h"
#include "controls/ReportModel.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>

namespace tavora::controls {

int CReportCtrl::AddColumn(int index, const std::string& title, int format, int width,
                           int subItem) {
    if (OffGuiThread())
        return OnGuiThread([&] { return AddColumn(index, title, format, width, subItem); });
    (void)subItem; // every column shows the cells of its own index
    EndCellEdit(true);
    if (index < 0)
        return -1;
    const int at = std::min(index, model_->ColumnCount());
    ReportColumn column;
    column.title = title;
    column.format = format & HDF_JUSTIFYMASK;
    column.headerFormat = format & HDF_JUSTIFYMASK;
    model_->InsertColumn(at, std::move(column), SystemTextColour(), SystemBackColour());
    width = std::max(width, 0);
    columnStates_[static_cast<size_t>(at)].savedWidth = width;
    header_->resizeSection(at, width);
    return at;
}

bool CReportCtrl::DeleteColumn(int column) {
    if (OffGuiThread())
        return OnGuiThread([&] { return DeleteColumn(column); });
    EndCellEdit(true);
    if (!model_->ValidColumn(column))
        return false;
    model_->RemoveColumn(column);
    return true;
}

void CReportCtrl::OnColumnsInserted(int first, int last) {
    // Whoever inserts columns, each gets its state, shown, at its index.
    for (int c = first; c <= last; ++c)
        columnStates_.insert(columnStates_.begin() + c, ColumnState{});
    for (int& editable : editableColumns_)
        if (editable >= first)
            editable += last - first + 1;
}

void CReportCtrl::OnColumnsRemoved(int first, int last) {
    columnStates_.erase(columnStates_.begin() + first, columnStates_.begin() + last + 1);
    std::vector<int> kept;
    for (int editable : editableColumns_) {
        if (editable < first)
            kept.push_back(editable);
        else if (editable > last)
            kept.push_back(editable - (last - first + 1));
    }
    editableColumns_ = std::move(kept);
}

int CReportCtrl::GetColumnCount() const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetColumnCount(); });
    return model_->ColumnCount();
}

std::string CReportCtrl::GetColumnTitle(int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetColumnTitle(column); });
    return model_->ValidColumn(column) ? model_->Column(column).title : std::string();
}

int CReportCtrl::GetColumnWidth(int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetColumnWidth(column); });
    return model_->ValidColumn(column) ? header_->sectionSize(column) : 0;
}

int CReportCtrl::ContentWidth(int column) const {
    return std::max(sizeHintForColumn(column), header_->minimumSectionSize());
}

bool CReportCtrl::SetColumnWidth(int column, int width) {
    if (OffGuiThread())
        return OnGuiThread([&] { return SetColumnWidth(column, width); });
    // A hidden column keeps width 0, whatever asks for another one.
    if (!model_->ValidColumn(column) || !columnStates_[static_cast<size_t>(column)].shown)
        return false;
    if (width == LVSCW_AUTOSIZE) {
        width = ContentWidth(column);
    } else if (width == LVSCW_AUTOSIZE_USEHEADER) {
        width = std::max(ContentWidth(column), header_->sectionSizeHint(column));
        // The last column in display order also fills the rest of the list.
        if (header_->visualIndex(column) == header_->count() - 1)
            width = std::max(width, viewport()->width() - header_->sectionPosition(column));
    }
    header_->resizeSection(column, std::max(width, 0));
    return true;
}

std::vector<int> CReportCtrl::GetColumnOrder() const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetColumnOrder(); });
    std::vector<int> order(static_cast<size_t>(header_->count()));
    for (int i = 0; i < header_->count(); ++i)
        order[static_cast<size_t>(i)] = header_->logicalIndex(i);
    return order;
}

bool CReportCtrl::SetColumnOrder(const std::vector<int>& order) {
    if (OffGuiThread())
        return OnGuiThread([&] { return SetColumnOrder(order); });
    const int n = header_->count();
    if (static_cast<int>(order.size()) != n)
        return false;
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < n; ++i)
        if (sorted[static_cast<size_t>(i)] != i)
            return false;
    // Positions before i are final, so moving each column into place from the left
    // never disturbs them.
    for (int i = 0; i < n; ++i) {
        const int from = header_->visualIndex(order[static_cast<size_t>(i)]);
        if (from != i)
            header_->moveSection(from, i);
    }
    return true;
}

bool CReportCtrl::SetColumnVisible(int column, bool show) {
    if (OffGuiThread())
        return OnGuiThread([&] { return SetColumnVisible(column, show); });
    if (!model_->ValidColumn(column))
        return false;
    SetUpdates(false);
    std::vector<int> order = GetColumnOrder();
    ColumnState& state = columnStates_[static_cast<size_t>(column)];
    if (show)
        ReorderForShow(order, column, columnStates_);
    else
        ReorderForHide(order, column, columnStates_);
    SetColumnOrder(order);
    // Showing a shown column or hiding a hidden one keeps its width: hiding twice
    // must not overwrite the width saved the first time.
    if (show && !state.shown) {
        state.shown = 1;
        header_->showSection(column);
        SetColumnWidth(column, static_cast<int16_t>(state.savedWidth & 0xFFFF));
    } else if (!show && state.shown) {
        const int width = GetColumnWidth(column);
        header_->hideSection(column);
        state.shown = 0;
        state.savedWidth = width;
    }
    SetUpdates(true);
    viewport()->update();
    header_->viewport()->update();
    return true;
}

bool CReportCtrl::IsColumnShown(int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return IsColumnShown(column); });
    return model_->ValidColumn(column) && columnStates_[static_cast<size_t>(column)].shown != 0;
}

ColumnState CReportCtrl::GetColumnState(int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetColumnState(column); });
    return model_->ValidColumn(column) ? columnStates_[static_cast<size_t>(column)] : ColumnState{};
}

void CReportCtrl::FitColumnWidth(int column, bool toHeader) {
    if (OffGuiThread())
        return OnGuiThread([&] { FitColumnWidth(column, toHeader); });
    const int width = toHeader ? LVSCW_AUTOSIZE_USEHEADER : LVSCW_AUTOSIZE;
    if (column != -1) {
        SetColumnWidth(column, width);
        return;
    }
    for (int c = 0; c < model_->ColumnCount(); ++c)
        SetColumnWidth(c, width);
}

bool CReportCtrl::ScrollColumnIntoView(int column, bool partialOk) {
    if (OffGuiThread())
        return OnGuiThread([&] { return ScrollColumnIntoView(column, partialOk); });
    if (!model_->ValidColumn(column))
        return false;
    const int left = header_->sectionViewportPosition(column);
    const int right = left + header_->sectionSize(column);
    const int width = viewport()->width();
    if (partialOk && left < width && right > 0)
        return true;
    int amount = left;
    if (right - left <= width && left >= 0) {
        if (right <= width)
            return true;
        amount = right - width;
    }
    if (amount != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + amount);
    return true;
}

std::shared_ptr<ReportImageList>
CReportCtrl::SetHeaderImageList(std::shared_ptr<ReportImageList> images) {
    if (OffGuiThread())
        return OnGuiThread([&] { return SetHeaderImageList(images); });
    auto previous = std::move(headerImages_);
    headerImages_ = std::move(images);
    header_->viewport()->update();
    return previous;
}

bool CReportCtrl::EnableHeaderSort(bool enable) {
    if (OffGuiThread())
        return OnGuiThread([&] { return EnableHeaderSort(enable); });
    if (isHeaderHidden())
        return false;
    headerSort_ = enable;
    header_->viewport()->repaint();
    return true;
}

bool CReportCtrl::SetHeaderItemImage(int column, int image, bool imageOnLeft) {
    if (OffGuiThread())
        return OnGuiThread([&] { return SetHeaderItemImage(column, image, imageOnLeft); });
    if (!headerImages_)
        headerImages_ = smallImages_;
    if (!model_->ValidColumn(column))
        return false;
    int format = model_->Column(column).headerFormat | HDF_IMAGE;
    // The side follows every call, so an image can also move back to the left.
    if (imageOnLeft)
        format &= ~HDF_BITMAP_ON_RIGHT;
    else
        format |= HDF_BITMAP_ON_RIGHT;
    model_->SetHeaderImage(column, format, image);
    header_->viewport()->update();
    return true;
}

int CReportCtrl::GetHeaderItemFormat(int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetHeaderItemFormat(column); });
    return model_->ValidColumn(column) ? model_->Column(column).headerFormat : -1;
}

int CReportCtrl::GetHeaderItemImage(int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetHeaderItemImage(column); });
    return model_->ValidColumn(column) ? model_->Column(column).headerImage : -1;
}

std::unique_ptr<QMenu> CReportCtrl::CreateHeaderMenu() {
    if (OffGuiThread())
        return nullptr; // menus live on the GUI thread only
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("ReportHeaderMenu"));
    QAction* third = nullptr;
    for (int c = 0; c < model_->ColumnCount(); ++c) {
        QAction* action = menu->addAction(QString::fromStdString(model_->Column(c).title));
        action->setData(c);
        action->setCheckable(true);
        action->setChecked(IsColumnShown(c));
        // The file list always keeps its name and path.
        action->setEnabled(c >= 2);
        if (c == 3)
            third = action;
    }
    if (third)
        menu->insertSeparator(third);
    return menu;
}

void CReportCtrl::OnContextMenu(QContextMenuEvent* event) {
    // Consumed in every case: a menu opened from the keyboard or outside the
    // header is not this control's.
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard || isHeaderHidden())
        return;
    const QPoint inHeader = header_->mapFromGlobal(event->globalPos());
    if (!header_->rect().contains(inHeader))
        return;
    auto menu = CreateHeaderMenu();
    QAction* chosen = menu->exec(event->globalPos());
    if (!chosen)
        return;
    const int column = chosen->data().toInt();
    SetColumnVisible(column, !IsColumnShown(column));
}

void CReportCtrl::OldOsRepaint(bool onlyWhenEmpty) {
    if (ModernOsFlag() || (onlyWhenEmpty && model_->RowCount() != 0))
        return;
    viewport()->update();
}

bool CReportCtrl::OnHeaderBeginTrack(int column) {
    EndCellEdit(false);
    OldOsRepaint(true);
    // A hidden column's divider never moves.
    return IsColumnShown(column);
}

void CReportCtrl::OnHeaderTrack() {
    OldOsRepaint(true);
}

void CReportCtrl::OnHeaderEndDrag() {
    EndCellEdit(false);
    OldOsRepaint(true);
}

void CReportCtrl::OnSectionMoved(int logical, int oldVisual, int newVisual) {
    if (!header_->DroppingColumn())
        return;
    // The first shown column's position in the order before the drop: a column
    // dropped in front of it lands right after the hidden columns instead.
    std::vector<int> before = GetColumnOrder();
    before.erase(before.begin() + newVisual);
    before.insert(before.begin() + oldVisual, logical);
    int firstShown = 0;
    while (firstShown < static_cast<int>(before.size()) &&
           !columnStates_[static_cast<size_t>(before[static_cast<size_t>(firstShown)])].shown)
        ++firstShown;
    if (newVisual < firstShown)
        header_->moveSection(newVisual, firstShown);
}

void CReportCtrl::OnHeaderDividerDoubleClick(int column) {
    FitColumnWidth(column, false);
}

} // namespace tavora::controls
