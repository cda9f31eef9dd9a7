#include "controls/ReportModel.h"

#include "controls/ReportImageList.h"

#include <QColor>

namespace tavora::controls {
namespace {

QColor ToQColor(Colour c) {
    return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c));
}

Qt::Alignment AlignmentOf(int format) {
    switch (format & HDF_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

const std::string kNoText;

} // namespace

ReportModel::ReportModel(QObject* parent) : QAbstractTableModel(parent) {}
ReportModel::~ReportModel() = default;

int ReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int ReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !ValidCell(index.row(), index.column()))
        return {};
    const ReportRow& row = rows_[static_cast<size_t>(index.row())];
    const auto column = static_cast<size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(row.cells[column].text);
    case Qt::DecorationRole:
        if (images_ && images_->Valid(row.cells[column].image))
            return images_->Icon(row.cells[column].image);
        return {};
    case Qt::ForegroundRole:
        if (row.record && column < row.record->textColours.size())
            return ToQColor(row.record->textColours[column]);
        return {};
    case Qt::BackgroundRole:
        if (row.record && column < row.record->backColours.size())
            return ToQColor(row.record->backColours[column]);
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(AlignmentOf(columns_[column].format));
    case Qt::CheckStateRole:
        if (checkBoxes_ && column == 0)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

bool ReportModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !checkBoxes_ || !index.isValid() || index.column() != 0)
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    if (!SetChecked(index.row(), checked))
        return false;
    emit checkToggled(index.row());
    return true;
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || !ValidColumn(section))
        return {};
    const ReportColumn& column = columns_[static_cast<size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(column.title);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(AlignmentOf(column.headerFormat));
    default:
        return {};
    }
}

Qt::ItemFlags ReportModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (checkBoxes_ && index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

void ReportModel::InsertRow(int index, ReportRow row) {
    row.cells.resize(columns_.size());
    beginInsertRows(QModelIndex(), index, index);
    rows_.insert(rows_.begin() + index, std::move(row));
    endInsertRows();
}

void ReportModel::RemoveRows(int first, int count) {
    if (count <= 0)
        return;
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    rows_.erase(rows_.begin() + first, rows_.begin() + first + count);
    endRemoveRows();
}

void ReportModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void ReportModel::ApplyOrder(int first, const std::vector<int>& order) {
    const int n = static_cast<int>(order.size());
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    std::vector<ReportRow> moved;
    moved.reserve(order.size());
    for (int source : order)
        moved.push_back(std::move(rows_[static_cast<size_t>(source)]));
    std::vector<int> newRow(order.size());
    for (int k = 0; k < n; ++k) {
        rows_[static_cast<size_t>(first + k)] = std::move(moved[static_cast<size_t>(k)]);
        newRow[static_cast<size_t>(order[static_cast<size_t>(k)] - first)] = first + k;
    }

    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from) {
        const int row = index.row();
        if (row >= first && row < first + n)
            to.append(createIndex(newRow[static_cast<size_t>(row - first)], index.column()));
        else
            to.append(index);
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

RowRecord* ReportModel::Record(int row) const {
    return ValidRow(row) ? rows_[static_cast<size_t>(row)].record.get() : nullptr;
}

const std::string& ReportModel::Text(int row, int column) const {
    if (!ValidCell(row, column))
        return kNoText;
    return rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)].text;
}

bool ReportModel::SetText(int row, int column, std::string text) {
    if (!ValidCell(row, column))
        return false;
    rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)].text = std::move(text);
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
    return true;
}

int ReportModel::Image(int row, int column) const {
    if (!ValidCell(row, column))
        return -1;
    return rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)].image;
}

bool ReportModel::SetImage(int row, int column, int image) {
    if (!ValidCell(row, column))
        return false;
    rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)].image = image;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DecorationRole});
    return true;
}

bool ReportModel::Checked(int row) const {
    return ValidRow(row) && rows_[static_cast<size_t>(row)].checked;
}

bool ReportModel::SetChecked(int row, bool checked) {
    if (!ValidRow(row))
        return false;
    ReportRow& r = rows_[static_cast<size_t>(row)];
    if (r.checked != checked) {
        r.checked = checked;
        if (checkBoxes_ && ColumnCount() > 0) {
            const QModelIndex cell = index(row, 0);
            emit dataChanged(cell, cell, {Qt::CheckStateRole});
        }
    }
    return true;
}

void ReportModel::ColoursChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    if (firstRow > lastRow || firstColumn > lastColumn)
        return;
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn),
                     {Qt::ForegroundRole, Qt::BackgroundRole});
}

void ReportModel::InsertColumn(int index, ReportColumn column, Colour textColour,
                               Colour backColour) {
    beginInsertColumns(QModelIndex(), index, index);
    columns_.insert(columns_.begin() + index, std::move(column));
    for (ReportRow& row : rows_) {
        row.cells.insert(row.cells.begin() + index, ReportCell{});
        if (row.record) {
            row.record->textColours.insert(row.record->textColours.begin() + index, textColour);
            row.record->backColours.insert(row.record->backColours.begin() + index, backColour);
        }
    }
    endInsertColumns();
}

void ReportModel::RemoveColumn(int column) {
    beginRemoveColumns(QModelIndex(), column, column);
    columns_.erase(columns_.begin() + column);
    for (ReportRow& row : rows_) {
        row.cells.erase(row.cells.begin() + column);
        if (row.record) {
            auto& text = row.record->textColours;
            auto& back = row.record->backColours;
            if (static_cast<size_t>(column) < text.size())
                text.erase(text.begin() + column);
            if (static_cast<size_t>(column) < back.size())
                back.erase(back.begin() + column);
        }
    }
    endRemoveColumns();
}

void ReportModel::SetHeaderImage(int column, int format, int image) {
    if (!ValidColumn(column))
        return;
    columns_[static_cast<size_t>(column)].headerFormat = format;
    columns_[static_cast<size_t>(column)].headerImage = image;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void ReportModel::SetImageList(std::shared_ptr<ReportImageList> images) {
    images_ = std::move(images);
    if (RowCount() > 0 && ColumnCount() > 0)
        emit dataChanged(index(0, 0), index(RowCount() - 1, ColumnCount() - 1),
                         {Qt::DecorationRole});
}

void ReportModel::SetCheckBoxes(bool enabled) {
    if (checkBoxes_ == enabled)
        return;
    // Check boxes change the layout of column 0, not only its data.
    emit layoutAboutToBeChanged();
    checkBoxes_ = enabled;
    emit layoutChanged();
}

} // namespace tavora::controls
