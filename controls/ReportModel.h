#pragma once

#include "controls/ReportDefs.h"
#include "controls/RowRecord.h"

#include <QAbstractTableModel>

#include <memory>
#include <string>
#include <vector>

namespace tavora::controls {

class ReportImageList;

struct ReportCell {
    std::string text; // UTF-8
    int image = -1;   // index into the small image list; -1 none
};

struct ReportRow {
    std::vector<ReportCell> cells; // one per column
    std::unique_ptr<RowRecord> record;
    bool checked = false;
};

struct ReportColumn {
    std::string title;
    int format = LVCFMT_LEFT; // text alignment of the cells
    int headerFormat = HDF_LEFT;
    int headerImage = -1;
};

// The rows and columns behind CReportCtrl. Texts, images and colours are stored,
// so data() only looks them up. Only the control changes it, on the GUI thread.
class ReportModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReportModel(QObject* parent = nullptr);
    ~ReportModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int RowCount() const { return static_cast<int>(rows_.size()); }
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }
    bool ValidColumn(int column) const { return column >= 0 && column < ColumnCount(); }
    bool ValidCell(int row, int column) const { return ValidRow(row) && ValidColumn(column); }

    // Rows. A new row gets one empty cell per column.
    void InsertRow(int index, ReportRow row);
    void RemoveRows(int first, int count);
    void Clear();
    // Rows first..first+n-1 take the contents of rows order[0..n-1], which is a
    // permutation of them; selection and focus follow their rows.
    void ApplyOrder(int first, const std::vector<int>& order);

    const ReportRow& Row(int row) const { return rows_[static_cast<size_t>(row)]; }
    RowRecord* Record(int row) const;
    // The cell's text, or an empty text outside the list.
    const std::string& Text(int row, int column) const;
    bool SetText(int row, int column, std::string text);
    int Image(int row, int column) const;
    bool SetImage(int row, int column, int image);
    bool Checked(int row) const;
    bool SetChecked(int row, bool checked);
    // Tells the views that stored colours of a block of cells changed.
    void ColoursChanged(int firstRow, int lastRow, int firstColumn, int lastColumn);

    // Columns. Every row's record gains the given colours at the new index.
    void InsertColumn(int index, ReportColumn column, Colour textColour, Colour backColour);
    void RemoveColumn(int column);
    const ReportColumn& Column(int column) const { return columns_[static_cast<size_t>(column)]; }
    void SetHeaderImage(int column, int format, int image);

    void SetImageList(std::shared_ptr<ReportImageList> images);
    void SetCheckBoxes(bool enabled);
    bool CheckBoxes() const { return checkBoxes_; }

signals:
    // A check box changed through the view (the user clicked it).
    void checkToggled(int row);

private:
    std::vector<ReportRow> rows_;
    std::vector<ReportColumn> columns_;
    std::shared_ptr<ReportImageList> images_;
    bool checkBoxes_ = false;
};

} // namespace tavora::controls
