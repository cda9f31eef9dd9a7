// In-place editing of the editable columns.
#include "controls/ReportCtrl.h"

#include "controls/ReportEditor.h"
#include "controls/ReportHeader.h"
#include "controls/ReportImageList.h"
#include "controls/ReportModel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace tavora::controls {

void CReportCtrl::EnableCellEdit(bool enable) {
    if (OffGuiThread())
        return OnGuiThread([&] { EnableCellEdit(enable); });
    if (!enable)
        EndCellEdit(true);
    editAllowed_ = enable;
}

bool CReportCtrl::AddEditableColumn(int column) {
    if (OffGuiThread())
        return OnGuiThread([&] { return AddEditableColumn(column); });
    if (!model_->ValidColumn(column) || IsEditableColumn(column))
        return false;
    editableColumns_.push_back(column);
    return true;
}

bool CReportCtrl::IsEditableColumn(int column) const {
    if (OffGuiThread())
        return OnGuiThread([&] { return IsEditableColumn(column); });
    return std::find(editableColumns_.begin(), editableColumns_.end(), column) !=
           editableColumns_.end();
}

bool CReportCtrl::IsCellEditing() const {
    if (OffGuiThread())
        return OnGuiThread([&] { return IsCellEditing(); });
    return model_->ValidCell(editCell_.row, editCell_.column);
}

std::string CReportCtrl::EditOriginalText() const {
    if (OffGuiThread())
        return OnGuiThread([&] { return EditOriginalText(); });
    return editOriginalText_;
}

void CReportCtrl::SetEditOriginalText(const std::string& text) {
    if (OffGuiThread())
        return OnGuiThread([&] { SetEditOriginalText(text); });
    editOriginalText_ = text;
}

CReportEditor* CReportCtrl::Editor() const {
    return editor_;
}

QRect CReportCtrl::EditorRect(int row, int column) const {
    // The cell's label: the cell without its check box and image.
    const QModelIndex index = model_->index(row, column);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.text = QString::fromStdString(model_->Text(row, column));
    option.features |= QStyleOptionViewItem::HasDisplay;
    const int image = model_->Image(row, column);
    if (smallImages_ && smallImages_->Valid(image)) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.icon = smallImages_->Icon(image);
        option.decorationSize = iconSize().isValid() ? iconSize() : smallImages_->IconSize();
    }
    if (model_->CheckBoxes() && column == 0)
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
    return style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
}

bool CReportCtrl::BeginCellEdit(int row, int column) {
    if (OffGuiThread())
        return OnGuiThread([&] { return BeginCellEdit(row, column); });
    if (!model_->ValidCell(row, column))
        return false;
    if (IsCellEditing() && editCell_.row == row && editCell_.column == column)
        return true;
    EndCellEdit(true);
    if (!model_->ValidCell(row, column)) // the edit's owner may have changed the rows
        return false;
    editCell_ = {row, column};
    ++editGeneration_;

    // The edited row alone is selected, and focused.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(model_->index(row, column),
                                      QItemSelectionModel::ClearAndSelect |
                                          QItemSelectionModel::Rows);
    setAutoScroll(scrolls);

    int alignment = ES_LEFT;
    if (!isHeaderHidden()) {
        const int justify = model_->Column(column).headerFormat & HDF_JUSTIFYMASK;
        alignment = justify == HDF_CENTER ? ES_CENTER : (justify == HDF_RIGHT ? ES_RIGHT : ES_LEFT);
    }
    if (!editor_) {
        editor_ = new CReportEditor(viewport());
        editor_->installEventFilter(this);
    }
    if (editor_->AlignmentStyle() != alignment)
        editor_->SetAlignmentStyle(alignment);
    editor_->setFont(font());
    editor_->setGeometry(EditorRect(row, column));
    editor_->setText(QString::fromStdString(model_->Text(row, column)));
    editor_->show();
    editor_->raise();
    editor_->SelectStem();
    editor_->setFocus(Qt::OtherFocusReason);
    // Showing and focusing may have laid the list out again.
    editor_->setGeometry(EditorRect(row, column));
    if (column == 0)
        editOriginalText_ = model_->Text(row, column);
    return true;
}

bool CReportCtrl::EndCellEdit(bool commit) {
    if (OffGuiThread())
        return OnGuiThread([&] { return EndCellEdit(commit); });
    // While the owner handles WM_REPORT_EDITED this edit is already closing: the
    // changes its handler makes through the control (writing the old name back)
    // must not close it a second time and clear the cell the message points to.
    if (!IsCellEditing() || !editor_ || notifyingEdit_)
        return false;
    std::string text = editor_->text().toStdString();
    const bool changed = commit && text != model_->Text(editCell_.row, editCell_.column);
    const unsigned generation = editGeneration_;
    if (changed) {
        model_->SetText(editCell_.row, editCell_.column, std::move(text));
        // The cell stays set while the owner handles the message.
        struct Notifying {
            bool& flag;
            explicit Notifying(bool& f) : flag(f) { flag = true; }
            ~Notifying() { flag = false; }
        } notifying(notifyingEdit_);
        platform::SendMessageTo(notify_, platform::Message(WM_REPORT_EDITED,
                                                           reinterpret_cast<uintptr_t>(&editCell_),
                                                           reinterpret_cast<intptr_t>(this)));
    }
    // The owner's handler may have opened another edit; that one stays.
    if (generation == editGeneration_) {
        const bool hadFocus = editor_->hasFocus();
        editor_->hide();
        editCell_ = {};
        if (hadFocus)
            setFocus(Qt::OtherFocusReason);
    }
    return changed;
}

bool CReportCtrl::IsEditKey(const QKeyEvent* event) const {
    if (!IsCellEditing())
        return false;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

bool CReportCtrl::HandleKey(QKeyEvent* event, bool fromEditor) {
    if (IsEditKey(event)) {
        const int row = editCell_.row;
        const int column = editCell_.column;
        switch (event->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab: {
            const bool back =
                event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
            EndCellEdit(true);
            if (editableColumns_.empty())
                return true;
            const int n = static_cast<int>(editableColumns_.size());
            const auto at = std::find(editableColumns_.begin(), editableColumns_.end(), column);
            // A cell opened outside the editable columns moves to the first of them.
            const int i = at == editableColumns_.end() ? n - 1 : int(at - editableColumns_.begin());
            const int next =
                editableColumns_[static_cast<size_t>(back ? (n + i - 1) % n : (i + 1) % n)];
            ScrollColumnIntoView(next, false);
            BeginCellEdit(row, next);
            return true;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            EndCellEdit(true);
            return true;
        case Qt::Key_Escape:
            EndCellEdit(false);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const int rows = model_->RowCount();
            const int next =
                event->key() == Qt::Key_Up ? (rows + row - 1) % rows : (row + 1) % rows;
            EndCellEdit(true);
            EnsureRowVisible(next);
            BeginCellEdit(next, column);
            return true;
        }
        default:
            return false;
        }
    }
    if (fromEditor || IsCellEditing())
        return false;
    if (event->key() == Qt::Key_Space)
        return true; // the list never sees Space
    if (event->key() == Qt::Key_Plus && (event->modifiers() & Qt::KeypadModifier) &&
        (event->modifiers() & Qt::ControlModifier)) {
        FitColumnWidth(-1, false);
        return true;
    }
    return false;
}

bool CReportCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (editor_ && watched == editor_) {
        if (event->type() == QEvent::ShortcutOverride &&
            IsEditKey(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress)
            return HandleKey(static_cast<QKeyEvent*>(event), true);
        return false;
    }
    return QTreeView::eventFilter(watched, event);
}

void CReportCtrl::EnsureRowVisible(int row) {
    if (!model_->ValidRow(row) || model_->ColumnCount() == 0)
        return;
    // Vertically only, like the list's own "ensure visible".
    const int x = horizontalScrollBar()->value();
    scrollTo(model_->index(row, 0), QAbstractItemView::EnsureVisible);
    horizontalScrollBar()->setValue(x);
}

void CReportCtrl::ClickRule(QMouseEvent* event, const std::function<void()>& defaultProcessing) {
    const QModelIndex hit = indexAt(event->position().toPoint());
    const int row = hit.isValid() ? hit.row() : -1;
    const int column = hit.isValid() ? hit.column() : -1;
    const bool wasEditing = IsCellEditing();
    EndCellEdit(true);
    const uint32_t flags = row >= 0 ? QueryItemFlags(row) : 0;
    const bool selectedAndFocused = (flags & ITEM_SELECTED) && (flags & ITEM_FOCUSED);
    inClickRule_ = true;
    defaultProcessing();
    inClickRule_ = false;
    // A click on an editable cell of the row that already was selected and
    // focused opens the editor.
    if (editAllowed_ && !wasEditing && selectedAndFocused && IsEditableColumn(column))
        BeginCellEdit(row, column);
}

} // namespace tavora::controls
