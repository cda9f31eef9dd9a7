#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tavora::platform {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgIcon { None, Exclamation, Error, Question, Information };
enum class MsgResult { Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

// Opaque owner window (a QWidget* in the GUI); null for none.
using WindowOwner = const void*;

// What actually shows a box: a QMessageBox in the GUI, stderr in the
// command-line converter, a scripted responder in tests.
class MessageBoxPresenter {
public:
    virtual ~MessageBoxPresenter() = default;
    virtual MsgResult Present(WindowOwner owner, const std::string& caption,
                              const std::string& text, MsgButtons buttons, MsgIcon icon) = 0;
};

// Installs the presenter used by ShowMessage; returns the previous one.
std::shared_ptr<MessageBoxPresenter> SetMessageBoxPresenter(std::shared_ptr<MessageBoxPresenter> p);

// Shows a box captioned with the instance name and returns the button pressed.
// An OK box without an icon shows the exclamation icon, a Yes/No box without
// one the question icon. Safe from any thread.
MsgResult ShowMessage(WindowOwner owner, const std::string& text,
                      MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);

// The first button of a set: what a box answers when nobody can press anything.
MsgResult DefaultButton(MsgButtons buttons);

// Writes boxes to stderr and answers with the default button.
class ConsoleMessagePresenter : public MessageBoxPresenter {
public:
    MsgResult Present(WindowOwner owner, const std::string& caption, const std::string& text,
                      MsgButtons buttons, MsgIcon icon) override;
};

// Test responder: records every box and answers from a script, then with the
// default button once the script is used up.
class ScriptedMessageResponder : public MessageBoxPresenter {
public:
    struct Shown {
        std::string caption;
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
    };

    void Answer(MsgResult result);
    std::vector<Shown> Boxes() const;
    std::vector<std::string> Texts() const;
    size_t Count() const;
    void Clear();

    MsgResult Present(WindowOwner owner, const std::string& caption, const std::string& text,
                      MsgButtons buttons, MsgIcon icon) override;

private:
    mutable std::mutex mutex_;
    std::deque<MsgResult> script_;
    std::vector<Shown> shown_;
};

// Installs a responder for the lifetime of the guard (tests).
class ScopedMessageResponder {
public:
    ScopedMessageResponder();
    ~ScopedMessageResponder();
    ScopedMessageResponder(const ScopedMessageResponder&) = delete;
    ScopedMessageResponder& operator=(const ScopedMessageResponder&) = delete;
    ScriptedMessageResponder& operator*() const { return *responder_; }
    ScriptedMessageResponder* operator->() const { return responder_.get(); }

private:
    std::shared_ptr<ScriptedMessageResponder> responder_;
    std::shared_ptr<MessageBoxPresenter> previous_;
};

} // namespace tavora::platform
