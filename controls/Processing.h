#pragma once

#include "controls/DialogTemplateDlg.h"

#include <atomic>
#include <string>

class QProgressBar;

namespace tavora::controls {

// The busy dialog of a loading run: a modeless window with a running (marquee)
// bar and a Cancel button. Armed at the start of a run, it shows itself only when
// the run is still going after half a second; its caption names the file being
// read. Cancel and Close ask the run to stop through the loading machinery's flags.
//
// One exists per process; the main window owns it (a widget cannot outlive the
// application object, so it is not a static).
class CProcessing : public CTemplateDlg {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 157;
    static constexpr int kProgressId = 1054;
    static constexpr int kCancelId = 3;
    static constexpr int kShowTimerId = 1;
    static constexpr int kShowDelayMs = 500;

    // Template 157.
    static DialogTemplate Template();
    // "Reading  " followed by the path.
    static std::string ReadingCaption(const std::string& path);

    // The window is created hidden; Create() initialises it without showing it.
    explicit CProcessing(QWidget* parent = nullptr);

    // The main window's list-busy flag, which Cancel and Close set to 0 (they set
    // the process-wide sorting flag to 1). It must outlive the dialog.
    void BindListBusyFlag(std::atomic<int>* listBusyFlag) { listBusyFlag_ = listBusyFlag; }

    QProgressBar* ProgressBar() const;

    // The start of a loading run: centred over owner, empty caption, and the
    // delayed show (timer 1, 500 ms) armed.
    void Arm(const QWidget* owner);
    // The file being read (GUI thread).
    void SetReadingPath(const std::string& path);
    // The end of a run: the delayed show is disarmed and the window hidden.
    void Disarm();

protected:
    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnTimer(int id) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void RequestStop();

    std::atomic<int>* listBusyFlag_ = nullptr;
};

} // namespace tavora::controls
