#include "controls/DialogTemplateDlg.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QTimerEvent>

namespace tavora::controls {
namespace {
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
} // namespace

CTemplateDlg::CTemplateDlg(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent), templateId_(dialogTemplate.Id()), dialogStyle_(dialogTemplate.Style()),
      units_(DialogUnits::ForDialogFont()) {
    dialogTemplate.Build(this, units_);
    for (const auto& item : dialogTemplate.Controls()) {
        if (item.id == kNoControlId)
            continue;
        if (auto* button = ControlAs<QAbstractButton>(this, item.id)) {
            const int id = item.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
        }
    }
}

CTemplateDlg::~CTemplateDlg() = default;

bool CTemplateDlg::InitDialog() {
    if (!initialised_) {
        initialised_ = true;
        initResult_ = OnInitDialog();
    }
    return initResult_;
}

bool CTemplateDlg::Create() {
    const bool ok = InitDialog();
    if (dialogStyle_ & kDialogVisible)
        show();
    return ok;
}

int CTemplateDlg::DoModal() {
    InitDialog();
    return exec();
}

void CTemplateDlg::EndDialog(int result) {
    done(result);
}

void CTemplateDlg::CenterWindow(const QWidget* owner) {
    if (!owner)
        owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner && owner->isVisible() && !owner->isMinimized())
        area = owner->geometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isNull())
        return;
    // Client areas are centred: a hidden window's frame is not known yet.
    QRect client = geometry();
    client.moveCenter(area.center());
    setGeometry(client);
}

void CTemplateDlg::SetTimer(int id, int elapseMs) {
    KillTimer(id);
    // Precise: a dialog timer must not fire before its time.
    const int qtId = startTimer(elapseMs, Qt::PreciseTimer);
    if (qtId != 0)
        timers_[id] = qtId;
}

void CTemplateDlg::KillTimer(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    killTimer(it->second);
    timers_.erase(it);
}

void CTemplateDlg::accept() {
    OnCommand(kIdOk);
}

void CTemplateDlg::reject() {
    OnCommand(kIdCancel);
}

void CTemplateDlg::OnCommand(int id) {
    if (id == kIdOk || id == kIdCancel)
        EndDialog(id);
}

void CTemplateDlg::timerEvent(QTimerEvent* event) {
    for (const auto& [id, qtId] : timers_) {
        if (qtId == event->timerId()) {
            OnTimer(id);
            return;
        }
    }
    QDialog::timerEvent(event);
}

} // namespace tavora::controls
