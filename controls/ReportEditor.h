#pragma once

#include <QLineEdit>

namespace tavora::controls {

// The in-place editor laid over a cell of CReportCtrl: a bordered single-line
// edit in the list's font. It stays open when it loses the focus; the list
// decides when an edit ends.
class CReportEditor : public QLineEdit {
    Q_OBJECT
public:
    explicit CReportEditor(QWidget* parent);

    // ES_LEFT, ES_CENTER or ES_RIGHT.
    void SetAlignmentStyle(int alignment);
    int AlignmentStyle() const { return alignment_; }

    // Selects from the start up to the last '.', or everything when there is none,
    // so that typing replaces a file name and keeps its extension.
    void SelectStem();

private:
    int alignment_ = 0;
};

} // namespace tavora::controls
