#pragma once

#include "controls/DialogTemplate.h"
#include "controls/DialogUnits.h"

#include <QDialog>

#include <map>

namespace tavora::controls {

// A dialog built from a DialogTemplate, with the dialog manager's habits: buttons
// report their control id as a command, numbered timers, a one-time initialisation
// before the window first appears, modal and modeless runs.
class CTemplateDlg : public QDialog {
    Q_OBJECT

public:
    explicit CTemplateDlg(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~CTemplateDlg() override;

    int TemplateId() const { return templateId_; }
    const DialogUnits& Units() const { return units_; }

    // The child control with this id; null when there is none.
    QWidget* Item(int id) const { return ControlById(this, id); }
    template <class T> T* ItemAs(int id) const { return ControlAs<T>(this, id); }

    // Runs OnInitDialog once; later calls return the first result.
    bool InitDialog();
    // Modeless: initialises, and shows the window when the template is visible.
    bool Create();
    // Modal: initialises and runs the dialog; returns the EndDialog result.
    int DoModal();
    // Ends a modal run with result, or hides a modeless dialog.
    void EndDialog(int result);

    // Centres the window over owner (the parent when null, the screen without one).
    void CenterWindow(const QWidget* owner = nullptr);

    // Numbered timers: OnTimer(id) every elapse until KillTimer(id). Setting a
    // running timer again restarts it.
    void SetTimer(int id, int elapseMs);
    void KillTimer(int id);
    bool TimerRunning(int id) const { return timers_.count(id) != 0; }

    // The dialog manager's OK and Cancel (ids 1 and 2), also reached by Enter and Escape.
    void accept() override;
    void reject() override;

protected:
    virtual bool OnInitDialog() { return true; }
    // A push button with this id was clicked. 1 (OK) and 2 (Cancel) end the dialog with
    // their id; every other id does nothing here.
    virtual void OnCommand(int id);
    virtual void OnTimer(int /*id*/) {}

    void timerEvent(QTimerEvent* event) override;

private:
    int templateId_;
    uint32_t dialogStyle_;
    DialogUnits units_;
    bool initialised_ = false;
    bool initResult_ = false;
    std::map<int, int> timers_; // our id -> Qt timer id
};

} // namespace tavora::controls
