#include "platform/gui/QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>
#include <QWidget>

namespace tavora::platform {
namespace {

QMessageBox::StandardButtons ButtonsFor(MsgButtons b) {
    switch (b) {
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconFor(MsgIcon i) {
    switch (i) {
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

MsgResult ResultFor(int button) {
    switch (button) {
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Retry:
        return MsgResult::Retry;
    default:
        return MsgResult::Ok;
    }
}

MsgResult ShowOnGuiThread(WindowOwner owner, const std::string& caption, const std::string& text,
                          MsgButtons buttons, MsgIcon icon) {
    auto* parent = static_cast<QWidget*>(const_cast<void*>(owner));
    QMessageBox box(IconFor(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    ButtonsFor(buttons), parent);
    return ResultFor(box.exec());
}

} // namespace

MsgResult QtMessagePresenter::Present(WindowOwner owner, const std::string& caption,
                                      const std::string& text, MsgButtons buttons, MsgIcon icon) {
    auto* app = QCoreApplication::instance();
    if (!app)
        return DefaultButton(buttons);
    if (QThread::currentThread() == app->thread())
        return ShowOnGuiThread(owner, caption, text, buttons, icon);
    MsgResult result = DefaultButton(buttons);
    QMetaObject::invokeMethod(
        app, [&] { result = ShowOnGuiThread(owner, caption, text, buttons, icon); },
        Qt::BlockingQueuedConnection);
    return result;
}

} // namespace tavora::platform
