#pragma once

#include "controls/ColumnState.h"
#include "controls/ReportDefs.h"
#include "controls/SortKey.h"
#include "platform/MessageTarget.h"

#include <QTreeView>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class QMenu;

namespace tavora::controls {

class CReportEditor;
class CReportHeader;
class ReportGuiCaller;
class ReportImageList;
class ReportModel;
class ReportRowReader;

// The report list of the main window: rows with a record of per-cell colours and
// the owner's row data, banded backgrounds, hideable columns, multi-key sorting by
// header clicks, in-place editing of chosen columns and hints in the empty list.
//
// The control belongs to the GUI thread. Every public operation may also be
// called from another thread (the file-loading worker does): it then runs on the
// GUI thread while the caller waits, so the control's state is only ever touched
// there and two sorts can never run at once. A caller from another thread must
// keep the control alive during the call; a call that reaches a control being
// destroyed returns a default value, and an exception thrown by the operation is
// rethrown to the caller. The GUI thread must not wait for a caller meanwhile.
//
// Notifications go to a message target (SetNotifyWindow); the main window's
// other list notifications are the Qt signals below.
class CReportCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CReportCtrl(QWidget* parent = nullptr);
    ~CReportCtrl() override;

    // Defers the rows' layout while redraw is off.
    void doItemsLayout() override;

    // --- Setup ---
    // Receives WM_REPORT_SORTED (posted) and WM_REPORT_EDITED (sent).
    void SetNotifyWindow(platform::TargetRef target);
    void EnableEmptyHints(bool enable);
    // The extended style becomes style | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES.
    // Check boxes and header drag-and-drop take effect; the other bits are kept.
    void ApplyExtendedStyle(uint32_t style);
    uint32_t GetExtendedStyle() const;
    int ApplyExplorerTheme();
    // Images of the cells; returns the previous list.
    std::shared_ptr<ReportImageList> SetSmallImageList(std::shared_ptr<ReportImageList> images);
    std::shared_ptr<ReportImageList> GetSmallImageList() const;
    // How row data is read for the bands and the numeric columns; null restores
    // the default (a leading 32-bit unusable flag, text order everywhere).
    void SetRowReader(std::shared_ptr<const ReportRowReader> reader);
    // Redraw on or off; turning it on repaints. While it is off the rows are not
    // laid out either, so adding rows one by one stays linear.
    void SetRedraw(bool redraw);

    // --- Columns ---
    // Closes an open edit (commit) and inserts a column (LVCFMT_* format) at
    // min(index, count); subItem is accepted for compatibility. Returns the new
    // column's index, or -1.
    int AddColumn(int index, const std::string& title, int format, int width, int subItem = -1);
    bool DeleteColumn(int column);
    int GetColumnCount() const;
    std::string GetColumnTitle(int column) const;
    // Current width; 0 for a hidden column.
    int GetColumnWidth(int column) const;
    // A width in pixels, LVSCW_AUTOSIZE or LVSCW_AUTOSIZE_USEHEADER; refused (false)
    // for a hidden column, which stays at width 0 until shown again.
    bool SetColumnWidth(int column, int width);
    // Display position -> column index.
    std::vector<int> GetColumnOrder() const;
    bool SetColumnOrder(const std::vector<int>& order);
    bool SetColumnVisible(int column, bool show);
    bool IsColumnShown(int column) const;
    ColumnState GetColumnState(int column) const;
    // Column -1 fits every column; hidden columns are left at width 0.
    void FitColumnWidth(int column, bool toHeader);
    bool ScrollColumnIntoView(int column, bool partialOk);
    std::shared_ptr<ReportImageList> SetHeaderImageList(std::shared_ptr<ReportImageList> images);
    // Header clicks sort the rows only while enabled; false when the list shows no header.
    bool EnableHeaderSort(bool enable);
    bool SetHeaderItemImage(int column, int image, bool imageOnLeft);
    // HDF_* format of a header item, -1 for no such column.
    int GetHeaderItemFormat(int column) const;
    int GetHeaderItemImage(int column) const;
    // The header popup menu: one checkable item per column (data = column index),
    // columns 0 and 1 disabled, a separator before column 3.
    std::unique_ptr<QMenu> CreateHeaderMenu();

    // --- Rows and cells ---
    // mask: LVIF_TEXT, LVIF_IMAGE, LVIF_STATE, LVIF_PARAM. Returns the new row or -1.
    int InsertRow(uint32_t mask, int index, const std::string& text, uint32_t state,
                  uint32_t stateMask, int image, void* data);
    bool RemoveRow(int row, bool selectNext);
    // Removes the rows that match filter; returns how many.
    int RemoveRows(uint32_t filter);
    void* GetRowData(int row) const;
    bool SetRowData(int row, void* data);
    std::string GetCellText(int row, int column) const;
    bool SetCellText(int row, int column, const std::string& text);
    // decimals >= 0: fixed with that many decimals; < 0: "%f" without trailing
    // zeros and point (3 -> "3", 2.5 -> "2.5"). Never depends on the locale.
    bool SetCellNumber(int row, int column, double value, int decimals);
    bool SetCellImage(int row, int column, int image);
    int GetCellImage(int row, int column) const;
    // Row -1 or column -1 (any index outside the list) stands for all rows or all
    // columns; colour kSystemColour for the system text or window colour.
    void SetCellTextColour(int row, int column, Colour colour, bool redraw);
    void SetCellBackColour(int row, int column, Colour colour, bool redraw);
    // Stored colours; kSystemColour for a cell outside the list.
    Colour GetCellTextColour(int row, int column) const;
    Colour GetCellBackColour(int row, int column) const;
    // Recolours every row's background: unusable rows, odd/even bands and, with
    // highlight, a tint on the primary sort column. Text colours stay.
    void PaintRowBands(bool highlight);

    // --- Item flags ---
    uint32_t QueryItemFlags(int row) const;
    bool ApplyItemFlags(int row, uint32_t flags);
    int ApplyItemFlagsToAll(uint32_t filter, uint32_t flags);
    int CountItems(uint32_t filter) const;
    // First row after 'after' (from 0 when after < -1) that matches filter, or -1.
    int FindNextItem(uint32_t filter, int after) const;

    // --- Sorting ---
    std::vector<SortKey> SortKeys() const;
    void SetSortKeys(std::vector<SortKey> keys);
    // Sorts rows first..last by the primary key, posts WM_REPORT_SORTED and
    // repaints the bands. An open edit is committed first.
    void SortRows(int first, int last, bool highlight);
    // -1, 0, 1: the order of two rows by column (key keyIndex) and the keys after it.
    int CompareRows(int row1, int row2, int column, int keyIndex) const;

    // --- In-place editing ---
    void EnableCellEdit(bool enable);
    bool AddEditableColumn(int column);
    bool IsEditableColumn(int column) const;
    bool BeginCellEdit(int row, int column);
    bool EndCellEdit(bool commit);
    bool IsCellEditing() const;
    // The column-0 text when its edit opened (the name a rename started from).
    std::string EditOriginalText() const;
    void SetEditOriginalText(const std::string& text);
    // The editor widget; null until the first edit.
    CReportEditor* Editor() const;

    // The empty-list hint shown at the given tick count (changes every 6 s).
    static std::string EmptyHintText(uint32_t ticks);

signals:
    // Selection, focus or a check box changed.
    void itemsChanged();
    // A right click in the rows; row -1 when it hit none.
    void rowRightClicked(int row, QPoint globalPos);
    // A left double click in the rows; row -1 when it hit none.
    void listDoubleClicked(int row);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class CReportHeader;

    struct RowStates; // selection and focus of every row at once

    // Cross-thread calls: true when the caller is not the GUI thread.
    bool OffGuiThread() const;
    bool RunOnGuiThread(std::function<void()> call) const;
    template <typename F> std::invoke_result_t<F> OnGuiThread(F&& fn) const {
        using R = std::invoke_result_t<F>;
        if constexpr (std::is_void_v<R>) {
            RunOnGuiThread([&] { fn(); });
        } else {
            R result{};
            RunOnGuiThread([&] { result = fn(); });
            return result;
        }
    }

    // Rows and flags.
    RowStates CaptureRowStates() const;
    uint32_t FlagsOf(const RowStates& states, int row) const;
    static bool Matches(uint32_t flags, uint32_t filter);
    void SelectRowRuns(const std::vector<int>& rows, bool select);
    void SetFocusRow(int row);
    void SetCellColour(int row, int column, Colour colour, bool text, bool redraw);
    void RepaintNow();
    Colour SystemTextColour() const;
    Colour SystemBackColour() const;
    bool IsRowUnusable(int row) const;

    // Columns and header.
    void OnColumnsInserted(int first, int last);
    void OnColumnsRemoved(int first, int last);
    int ContentWidth(int column) const;
    bool OnHeaderBeginTrack(int column);
    void OnHeaderTrack();
    void OnHeaderEndDrag();
    void OnSectionMoved(int logical, int oldVisual, int newVisual);
    void OnHeaderDividerDoubleClick(int column);
    void OnContextMenu(QContextMenuEvent* event);
    void OnColumnClick(int column);
    void OldOsRepaint(bool onlyWhenEmpty);
    int CompareCells(int row1, int row2, int column) const;

    // Editing.
    bool HandleKey(QKeyEvent* event, bool fromEditor);
    bool IsEditKey(const QKeyEvent* event) const;
    void MoveEditToRow(int row);
    QRect EditorRect(int row, int column) const;
    void ClickRule(QMouseEvent* event, const std::function<void()>& defaultProcessing);
    void EnsureRowVisible(int row);

    // Painting and layout.
    void DrawEmptyHint();
    void SetUpdates(bool enabled);

    ReportModel* model_ = nullptr;
    CReportHeader* header_ = nullptr;
    std::unique_ptr<ReportGuiCaller> guiCaller_;

    platform::TargetRef notify_;
    std::vector<SortKey> sortKeys_;
    bool showHints_ = false;
    std::vector<ColumnState> columnStates_;
    std::vector<int> editableColumns_;
    std::string editOriginalText_;
    CReportEditor* editor_ = nullptr; // child of the viewport, created on first use
    bool editAllowed_ = false;
    ReportEditedCell editCell_;
    unsigned editGeneration_ = 0;
    bool notifyingEdit_ = false; // WM_REPORT_EDITED is being handled

    uint32_t extendedStyle_ = kForcedExtendedStyle;
    bool headerSort_ = false;
    bool inClickRule_ = false;
    bool layoutDeferred_ = false;
    std::shared_ptr<ReportImageList> smallImages_;
    std::shared_ptr<ReportImageList> headerImages_;
    std::shared_ptr<const ReportRowReader> reader_;
};

} // namespace tavora::controls
