#include "controls/Processing.h"

#include "controls/ProcessFlags.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QString>

namespace tavora::controls {
namespace {
constexpr int kIdCancelStandard = 2;
} // namespace

DialogTemplate CProcessing::Template() {
    DialogTemplate t(kTemplateId, "Processing Audio Files...", 316, 44, kDialogSystemMenu);
    t.Add(ControlKind::ProgressBar, kProgressId, "", 7, 7, 302, 11, kStyleBorder);
    t.Add(ControlKind::PushButton, kCancelId, "Cancel", 259, 23, 50, 14);
    return t;
}

std::string CProcessing::ReadingCaption(const std::string& path) {
    return "Reading  " + path;
}

CProcessing::CProcessing(QWidget* parent) : CTemplateDlg(Template(), parent) {}

QProgressBar* CProcessing::ProgressBar() const {
    return ItemAs<QProgressBar>(kProgressId);
}

bool CProcessing::OnInitDialog() {
    CTemplateDlg::OnInitDialog();
    // Range 0..0 is the marquee: it runs from now on, shown or not.
    if (QProgressBar* bar = ProgressBar())
        bar->setRange(0, 0);
    return true;
}

void CProcessing::Arm(const QWidget* owner) {
    CenterWindow(owner);
    setWindowTitle(QString());
    SetTimer(kShowTimerId, kShowDelayMs);
}

void CProcessing::SetReadingPath(const std::string& path) {
    setWindowTitle(QString::fromStdString(ReadingCaption(path)));
}

void CProcessing::Disarm() {
    KillTimer(kShowTimerId);
    hide();
}

void CProcessing::OnTimer(int id) {
    if (id != kShowTimerId)
        return;
    KillTimer(kShowTimerId);
    if (!isVisible()) {
        showNormal();
        activateWindow();
    }
}

void CProcessing::RequestStop() {
    // Release: the loading worker reads these flags once per file.
    SetSortingFlag(1);
    if (listBusyFlag_)
        listBusyFlag_->store(0, std::memory_order_release);
}

void CProcessing::OnCommand(int id) {
    // Escape (the standard cancel id) would otherwise hide the window while the
    // run goes on; it stops the run like the Cancel button.
    if (id == kCancelId || id == kIdCancelStandard)
        RequestStop();
    // The window stays until the run ends and the main window hides it.
}

void CProcessing::closeEvent(QCloseEvent* event) {
    RequestStop();
    done(kIdCancelStandard);
    event->accept();
}

} // namespace tavora::controls
