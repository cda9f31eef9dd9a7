#include "controls/ReportCtrl.h"

#include "controls/ProcessFlags.h"
#include "controls/ReportEditor.h"
#include "controls/ReportGuiCaller.h"
#include "controls/ReportHeader.h"
#include "controls/ReportImageList.h"
#include "controls/ReportModel.h"
#include "controls/ReportRowReader.h"
#include "controls/ReportTheme.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QThread>

#include <algorithm>
#include <charconv>

namespace tavora::controls {
namespace {

std::string FormatCellNumber(double value, int decimals) {
    const bool trim = decimals < 0;
    const int precision = trim ? 6 : decimals;
    // Up to 309 integer digits, a sign, a point and the decimals.
    std::string text(static_cast<size_t>(precision) + 320, '\0');
    auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), value,
                                   std::chars_format::fixed, precision);
    if (ec != std::errc())
        return {};
    text.resize(static_cast<size_t>(end - text.data()));
    if (trim) {
        while (!text.empty() && text.back() == '0')
            text.pop_back();
        while (!text.empty() && text.back() == '.')
            text.pop_back();
    }
    return text;
}

} // namespace

struct CReportCtrl::RowStates {
    std::vector<uint8_t> selected;
    int focused = -1;
};

CReportCtrl::CReportCtrl(QWidget* parent) : QTreeView(parent) {
    model_ = new ReportModel(this);
    header_ = new CReportHeader(*this);
    setHeader(header_);
    setModel(model_);
    reader_ = std::make_shared<LeadingFlagRowReader>();

    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideRight);

    header_->setStretchLastSection(false);
    header_->setSectionsMovable(false);
    header_->setFirstSectionMovable(true);
    header_->setSectionsClickable(true);
    header_->setHighlightSections(false);
    header_->setSectionResizeMode(QHeaderView::Interactive);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Fitting a column measures every row, not a sample of them.
    header_->setResizeContentsPrecision(-1);

    guiCaller_ = std::make_unique<ReportGuiCaller>(this);

    connect(model_, &QAbstractItemModel::columnsInserted, this,
            [this](const QModelIndex&, int first, int last) { OnColumnsInserted(first, last); });
    connect(model_, &QAbstractItemModel::columnsRemoved, this,
            [this](const QModelIndex&, int first, int last) { OnColumnsRemoved(first, last); });
    connect(model_, &ReportModel::checkToggled, this, [this] { emit itemsChanged(); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit itemsChanged(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { emit itemsChanged(); });
    connect(header_, &QHeaderView::sectionClicked, this, [this](int c) { OnColumnClick(c); });
    connect(header_, &QHeaderView::sectionMoved, this,
            [this](int logical, int from, int to) { OnSectionMoved(logical, from, to); });
    connect(header_, &QHeaderView::sectionResized, this, [this] {
        if (header_->TrackingDivider())
            OnHeaderTrack();
    });
    // Scrolling by the user discards an edit; programmatic scrolling does not.
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] {
        EndCellEdit(false);
        OldOsRepaint(true);
    });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { EndCellEdit(false); });
}

CReportCtrl::~CReportCtrl() {
    // Release callers waiting on other threads; their calls are dropped.
    guiCaller_->Close();
    // The base classes tear down the view after this; nothing may call back here.
    model_->disconnect(this);
    selectionModel()->disconnect(this);
    header_->disconnect(this);
    horizontalScrollBar()->disconnect(this);
    verticalScrollBar()->disconnect(this);
    if (editor_)
        editor_->removeEventFilter(this);
    // An open edit is discarded silently; the rows and their records go with the
    // model, the owner's row data stays with the owner.
    editCell_ = {};
}

bool CReportCtrl::OffGuiThread() const {
    return QThread::currentThread() != thread();
}

bool CReportCtrl::RunOnGuiThread(std::function<void()> call) const {
    return guiCaller_->Call(std::move(call));
}

// --- Setup ---

void CReportCtrl::SetNotifyWindow(platform::TargetRef target) {
    if (OffGuiThread())
        return OnGuiThread([&] { SetNotifyWindow(target); });
    notify_ = std::move(target);
}

void CReportCtrl::EnableEmptyHints(bool enable) {
    if (OffGuiThread())
        return OnGuiThread([&] { EnableEmptyHints(enable); });
    showHints_ = enable;
    viewport()->update();
}

void CReportCtrl::ApplyExtendedStyle(uint32_t style) {
    if (OffGuiThread())
        return OnGuiThread([&] { ApplyExtendedStyle(style); });
    extendedStyle_ = style | kForcedExtendedStyle;
    model_->SetCheckBoxes((extendedStyle_ & LVS_EX_CHECKBOXES) != 0);
    header_->setSectionsMovable((extendedStyle_ & LVS_EX_HEADERDRAGDROP) != 0);
}

uint32_t CReportCtrl::GetExtendedStyle() const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetExtendedStyle(); });
    return extendedStyle_;
}

int CReportCtrl::ApplyExplorerTheme() {
    return ApplyWindowTheme(this, "ListView", "Explorer");
}

std::shared_ptr<ReportImageList>
CReportCtrl::SetSmallImageList(std::shared_ptr<ReportImageList> images) {
    if (OffGuiThread())
        return OnGuiThread([&] { return SetSmallImageList(images); });
    auto previous = std::move(smallImages_);
    smallImages_ = std::move(images);
    if (smallImages_)
        setIconSize(smallImages_->IconSize());
    model_->SetImageList(smallImages_);
    return previous;
}

std::shared_ptr<ReportImageList> CReportCtrl::GetSmallImageList() const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetSmallImageList(); });
    return smallImages_;
}

void CReportCtrl::SetRowReader(std::shared_ptr<const ReportRowReader> reader) {
    if (OffGuiThread())
        return OnGuiThread([&] { SetRowReader(reader); });
    reader_ = reader ? std::move(reader) : std::make_shared<LeadingFlagRowReader>();
}

void CReportCtrl::SetRedraw(bool redraw) {
    if (OffGuiThread())
        return OnGuiThread([&] { SetRedraw(redraw); });
    SetUpdates(redraw);
    if (redraw)
        RepaintNow();
}

void CReportCtrl::RepaintNow() {
    viewport()->repaint();
    header_->viewport()->update();
}

// --- Rows and cells ---

int CReportCtrl::InsertRow(uint32_t mask, int index, const std::string& text, uint32_t state,
                           uint32_t stateMask, int image, void* data) {
    if (OffGuiThread())
        return OnGuiThread(
            [&] { return InsertRow(mask, index, text, state, stateMask, image, data); });
    EndCellEdit(true);
    if (index < 0)
        return -1;
    const int at = std::min(index, model_->RowCount());
    const auto columns = static_cast<size_t>(model_->ColumnCount());

    ReportRow row;
    row.cells.resize(columns);
    if (columns > 0) {
        if (mask & LVIF_TEXT)
            row.cells[0].text = text;
        if (mask & LVIF_IMAGE)
            row.cells[0].image = image;
    }
    row.record = std::make_unique<RowRecord>();
    row.record->data = (mask & LVIF_PARAM) ? data : nullptr;
    row.record->textColours.assign(columns, SystemTextColour());
    row.record->backColours.assign(columns, SystemBackColour());
    const bool setState = (mask & LVIF_STATE) != 0;
    if (setState && (stateMask & LVIS_STATEIMAGEMASK))
        row.checked = (state & LVIS_STATEIMAGEMASK) == StateImage(2);
    model_->InsertRow(at, std::move(row));

    if (setState && (stateMask & state & LVIS_SELECTED))
        SelectRowRuns({at}, true);
    if (setState && (stateMask & state & LVIS_FOCUSED))
        SetFocusRow(at);
    return at;
}

bool CReportCtrl::RemoveRow(int row, bool selectNext) {
    if (OffGuiThread())
        return OnGuiThread([&] { return RemoveRow(row, selectNext); });
    if (!model_->ValidRow(row))
        return false;
    if (IsCellEditing())
        EndCellEdit(editCell_.row != row);
    if (!model_->ValidRow(row)) // the edit's owner may have changed the rows
        return false;
    if (selectNext && model_->ValidRow(row + 1))
        SelectRowRuns({row + 1}, true);
    // The record goes with the row; the owner's data stays with the owner.
    model_->RemoveRows(row, 1);
    return true;
}

int CReportCtrl::RemoveRows(uint32_t filter) {
    if (OffGuiThread())
        return OnGuiThread([&] { return RemoveRows(filter); });
    EndCellEdit(false);
    const bool wasEnabled = updatesEnabled();
    SetUpdates(false);
    int removed = 0;
    if (filter & ITEM_ANY) {
        removed = model_->RowCount();
        model_->Clear();
    } else if (filter != 0) {
        const RowStates states = CaptureRowStates();
        // From the end, a run of matching rows at a time; the rows before a run keep
        // their indexes, so the matches found up front stay valid.
        int row = model_->RowCount() - 1;
        while (row >= 0) {
            if (!Matches(FlagsOf(states, row), filter)) {
                --row;
                continue;
            }
            int first = row;
            while (first > 0 && Matches(FlagsOf(states, first - 1), filter))
                --first;
            model_->RemoveRows(first, row - first + 1);
            removed += row - first + 1;
            row = first - 1;
        }
    }
    SetUpdates(wasEnabled);
    if (wasEnabled)
        RepaintNow();
    return removed;
}

void* CReportCtrl::GetRowData(int row) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetRowData(row); });
    const RowRecord* record = model_->Record(row);
    return record ? record->data : nullptr;
}

bool CReportCtrl::SetRowData(int row, void* data) {
    if (OffGuiThread())
        return OnGuiThread([&] { return SetRowData(row, data); });
    RowRecord* record = model_->Record(row);
    if (!record)
        return false;
    record->data = data;
    return true;
}

std::string CReportCtrl::GetCellText(int row, int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetCellText(row, column); });
    return model_->Text(row, column);
}

bool CReportCtrl::SetCellText(int row, int column, const std::string& text) {
    if (OffGuiThread())
        return OnGuiThread([&] { return SetCellText(row, column, text); });
    EndCellEdit(true);
    return model_->SetText(row, column, text);
}

bool CReportCtrl::SetCellNumber(int row, int column, double value, int decimals) {
    if (OffGuiThread())
        return OnGuiThread([&] { return SetCellNumber(row, column, value, decimals); });
    return SetCellText(row, column, FormatCellNumber(value, decimals));
}

bool CReportCtrl::SetCellImage(int row, int column, int image) {
    if (OffGuiThread())
        return OnGuiThread([&] { return SetCellImage(row, column, image); });
    return model_->SetImage(row, column, image);
}

int CReportCtrl::GetCellImage(int row, int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return GetCellImage(row, column); });
    return model_->Image(row, column);
}

// --- Item flags ---

bool CReportCtrl::Matches(uint32_t flags, uint32_t filter) {
    if (filter & ITEM_ANY)
        return true;
    return filter != 0 && (flags & filter) == filter;
}

CReportCtrl::RowStates CReportCtrl::CaptureRowStates() const {
    RowStates states;
    const int rows = model_->RowCount();
    states.selected.assign(static_cast<size_t>(rows), 0);
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        const int last = std::min(range.bottom(), rows - 1);
        for (int r = std::max(range.top(), 0); r <= last; ++r)
            states.selected[static_cast<size_t>(r)] = 1;
    }
    const QModelIndex current = selectionModel()->currentIndex();
    states.focused = current.isValid() ? current.row() : -1;
    return states;
}

uint32_t CReportCtrl::FlagsOf(const RowStates& states, int row) const {
    uint32_t flags = states.selected[static_cast<size_t>(row)] ? ITEM_SELECTED : ITEM_UNSELECTED;
    flags |= model_->Checked(row) ? ITEM_CHECKED : ITEM_UNCHECKED;
    flags |= states.focused == row ? ITEM_FOCUSED : ITEM_UNFOCUSED;
    return flags;
}

uint32_t CReportCtrl::QueryItemFlags(int row) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return QueryItemFlags(row); });
    if (!model_->ValidRow(row))
        return 0;
    uint32_t flags = selectionModel()->rowIntersectsSelection(row, QModelIndex()) ? ITEM_SELECTED
                                                                                  : ITEM_UNSELECTED;
    flags |= model_->Checked(row) ? ITEM_CHECKED : ITEM_UNCHECKED;
    const QModelIndex current = selectionModel()->currentIndex();
    flags |= current.isValid() && current.row() == row ? ITEM_FOCUSED : ITEM_UNFOCUSED;
    return flags;
}

void CReportCtrl::SelectRowRuns(const std::vector<int>& rows, bool select) {
    const int lastColumn = model_->ColumnCount() - 1;
    if (rows.empty() || lastColumn < 0)
        return;
    QItemSelection selection;
    size_t i = 0;
    while (i < rows.size()) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.select(model_->index(rows[i], 0), model_->index(rows[j], lastColumn));
        i = j + 1;
    }
    selectionModel()->select(selection,
                             select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void CReportCtrl::SetFocusRow(int row) {
    if (row < 0) {
        selectionModel()->clearCurrentIndex();
        return;
    }
    const QModelIndex current = selectionModel()->currentIndex();
    const int column = current.isValid() ? current.column() : 0;
    // Focusing a row does not scroll the list.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(model_->index(row, column), QItemSelectionModel::NoUpdate);
    setAutoScroll(scrolls);
}

bool CReportCtrl::ApplyItemFlags(int row, uint32_t flags) {
    if (OffGuiThread())
        return OnGuiThread([&] { return ApplyItemFlags(row, flags); });
    if (flags == 0 || !model_->ValidRow(row) || model_->ColumnCount() == 0)
        return false;
    if (flags & ITEM_SELECTED)
        SelectRowRuns({row}, true);
    if (flags & ITEM_UNSELECTED)
        SelectRowRuns({row}, false);
    if (flags & (ITEM_CHECKED | ITEM_UNCHECKED)) {
        if (flags & ITEM_CHECKED)
            model_->SetChecked(row, true);
        if (flags & ITEM_UNCHECKED)
            model_->SetChecked(row, false);
        emit itemsChanged();
    }
    if (flags & ITEM_FOCUSED)
        SetFocusRow(row);
    if ((flags & ITEM_UNFOCUSED) && selectionModel()->currentIndex().row() == row)
        SetFocusRow(-1);
    return true;
}

int CReportCtrl::ApplyItemFlagsToAll(uint32_t filter, uint32_t flags) {
    if (OffGuiThread())
        return OnGuiThread([&] { return ApplyItemFlagsToAll(filter, flags); });
    if (filter == 0 || flags == 0 || model_->ColumnCount() == 0)
        return 0;
    // The same as ApplyItemFlags row by row, with one selection change for all rows.
    const RowStates states = CaptureRowStates();
    std::vector<int> select, deselect;
    int focus = states.focused;
    int changed = 0;
    bool checks = false;
    for (int row = 0; row < model_->RowCount(); ++row) {
        if (!Matches(FlagsOf(states, row), filter))
            continue;
        ++changed;
        if (flags & ITEM_UNSELECTED)
            deselect.push_back(row);
        else if (flags & ITEM_SELECTED)
            select.push_back(row);
        if (flags & (ITEM_CHECKED | ITEM_UNCHECKED)) {
            model_->SetChecked(row, (flags & ITEM_UNCHECKED) == 0);
            checks = true;
        }
        if (flags & ITEM_FOCUSED)
            focus = row;
        if ((flags & ITEM_UNFOCUSED) && focus == row)
            focus = -1;
    }
    SelectRowRuns(select, true);
    SelectRowRuns(deselect, false);
    if (focus != states.focused)
        SetFocusRow(focus);
    if (checks)
        emit itemsChanged();
    return changed;
}

int CReportCtrl::CountItems(uint32_t filter) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return CountItems(filter); });
    if (filter & ITEM_ANY)
        return model_->RowCount();
    if (filter == 0)
        return 0;
    const RowStates states = CaptureRowStates();
    int count = 0;
    for (int row = 0; row < model_->RowCount(); ++row)
        count += Matches(FlagsOf(states, row), filter) ? 1 : 0;
    return count;
}

int CReportCtrl::FindNextItem(uint32_t filter, int after) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return FindNextItem(filter, after); });
    if (filter == 0)
        return -1;
    const RowStates states = CaptureRowStates();
    for (int row = after < -1 ? 0 : after + 1; row < model_->RowCount(); ++row) {
        if (Matches(FlagsOf(states, row), filter))
            return row;
    }
    return -1;
}

// --- Events ---

bool CReportCtrl::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        // The list sees its keys before any window shortcut does.
        const bool listKey = !IsCellEditing() && key->key() == Qt::Key_Space;
        if (IsEditKey(key) || listKey) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        if (HandleKey(static_cast<QKeyEvent*>(event), false)) {
            event->accept();
            return true;
        }
    }
    return QTreeView::event(event);
}

void CReportCtrl::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    if (!ModernOsFlag())
        viewport()->update();
}

void CReportCtrl::wheelEvent(QWheelEvent* event) {
    EndCellEdit(false);
    OldOsRepaint(true);
    QTreeView::wheelEvent(event);
}

void CReportCtrl::mousePressEvent(QMouseEvent* event) {
    if (inClickRule_) {
        QTreeView::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        ClickRule(event, [&] { QTreeView::mousePressEvent(event); });
        return;
    }
    EndCellEdit(true);
    QTreeView::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        const QModelIndex hit = indexAt(event->position().toPoint());
        emit rowRightClicked(hit.isValid() ? hit.row() : -1, event->globalPosition().toPoint());
    }
}

void CReportCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (inClickRule_) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        ClickRule(event, [&] {
            QTreeView::mouseDoubleClickEvent(event);
            const QModelIndex hit = indexAt(event->position().toPoint());
            emit listDoubleClicked(hit.isValid() ? hit.row() : -1);
        });
        return;
    }
    EndCellEdit(true);
    QTreeView::mouseDoubleClickEvent(event);
}

void CReportCtrl::contextMenuEvent(QContextMenuEvent* event) {
    OnContextMenu(event);
}

} // namespace tavora::controls
