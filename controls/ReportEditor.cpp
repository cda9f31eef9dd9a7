#include "controls/ReportEditor.h"

#include "controls/ReportDefs.h"

namespace tavora::controls {

CReportEditor::CReportEditor(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("ReportEditor"));
    setFrame(true);
    hide();
}

void CReportEditor::SetAlignmentStyle(int alignment) {
    alignment_ = alignment;
    Qt::Alignment a = Qt::AlignLeft;
    if (alignment == ES_CENTER)
        a = Qt::AlignHCenter;
    else if (alignment == ES_RIGHT)
        a = Qt::AlignRight;
    setAlignment(a | Qt::AlignVCenter);
}

void CReportEditor::SelectStem() {
    const QString value = text();
    const qsizetype dot = value.lastIndexOf(QLatin1Char('.'));
    const int end = static_cast<int>(dot < 0 ? value.size() : dot);
    setSelection(0, end);
}

} // namespace tavora::controls
