// Multi-key sorting: header clicks, the comparison and the row rewrite.
#include "controls/ReportCtrl.h"

#include "controls/ProcessFlags.h"
#include "controls/ReportModel.h"
#include "controls/ReportRowReader.h"
#include "controls/ReportSort.h"

#include <cmath>
#include <numeric>

namespace tavora::controls {

std::vector<SortKey> CReportCtrl::SortKeys() const {
    if (OffGuiThread())
        return OnGuiThread([&] { return SortKeys(); });
    return sortKeys_;
}

void CReportCtrl::SetSortKeys(std::vector<SortKey> keys) {
    if (OffGuiThread())
        return OnGuiThread([&] { SetSortKeys(keys); });
    sortKeys_ = std::move(keys);
}

void CReportCtrl::OnColumnClick(int column) {
    ApplyColumnClick(sortKeys_, column);
    EndCellEdit(true);
    if (model_->ValidColumn(column) && !isHeaderHidden() && headerSort_)
        SortRows(0, model_->RowCount() - 1, true);
}

void CReportCtrl::SortRows(int first, int last, bool highlight) {
    if (OffGuiThread())
        return OnGuiThread([&] { SortRows(first, last, highlight); });
    SetSortingFlag(1);
    // The rows are about to move under an open editor: finish the edit on the row
    // it belongs to.
    EndCellEdit(true);
    SetUpdates(false);
    if (!sortKeys_.empty()) {
        const SortKey primary = sortKeys_.front();
        if (0 <= first && first < last && last < model_->RowCount()) {
            std::vector<int> order(static_cast<size_t>(last - first + 1));
            std::iota(order.begin(), order.end(), first);
            QuickSortRows(order, 0, static_cast<int>(order.size()) - 1, primary.ascending != 0,
                          [&](int a, int b) { return CompareRows(a, b, primary.column, 0); });
            model_->ApplyOrder(first, order);
        }
        platform::PostMessageTo(notify_, platform::Message(WM_REPORT_SORTED,
                                                           static_cast<uintptr_t>(primary.column),
                                                           primary.ascending ? 1 : 0));
    }
    PaintRowBands(highlight);
    SetSortingFlag(0);
}

int CReportCtrl::CompareRows(int row1, int row2, int column, int keyIndex) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return CompareRows(row1, row2, column, keyIndex); });
    for (;;) {
        const int result = CompareCells(row1, row2, column);
        ++keyIndex;
        if (result != 0 || keyIndex < 0 || keyIndex >= static_cast<int>(sortKeys_.size()))
            return result;
        column = sortKeys_[static_cast<size_t>(keyIndex)].column;
    }
}

int CReportCtrl::CompareCells(int row1, int row2, int column) const {
    if (reader_->IsNumericColumn(column)) {
        const RowRecord* r1 = model_->Record(row1);
        const RowRecord* r2 = model_->Record(row2);
        // A row without data has no number and cannot be ordered.
        const double a = r1 && r1->data ? reader_->SortNumber(r1->data, column) : NAN;
        const double b = r2 && r2->data ? reader_->SortNumber(r2->data, column) : NAN;
        return CompareNumbers(a, b);
    }
    return CompareBytes(model_->Text(row1, column), model_->Text(row2, column));
}

} // namespace tavora::controls
