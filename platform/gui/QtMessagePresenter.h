#pragma once

#include "platform/MessageBox.h"

namespace tavora::platform {

// Shows boxes as QMessageBox on the GUI thread; a worker's call blocks until
// the GUI thread has shown and closed the box.
class QtMessagePresenter : public MessageBoxPresenter {
public:
    MsgResult Present(WindowOwner owner, const std::string& caption, const std::string& text,
                      MsgButtons buttons, MsgIcon icon) override;
};

} // namespace tavora::platform
