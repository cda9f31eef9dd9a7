#include "platform/MessageBox.h"

#include "platform/Instance.h"

#include <cstdio>

namespace tavora::platform {
namespace {
std::mutex g_presenterMutex;
std::shared_ptr<MessageBoxPresenter> g_presenter = std::make_shared<ConsoleMessagePresenter>();

std::shared_ptr<MessageBoxPresenter> CurrentPresenter() {
    std::lock_guard lock(g_presenterMutex);
    return g_presenter;
}
} // namespace

std::shared_ptr<MessageBoxPresenter>
SetMessageBoxPresenter(std::shared_ptr<MessageBoxPresenter> p) {
    if (!p)
        p = std::make_shared<ConsoleMessagePresenter>();
    std::lock_guard lock(g_presenterMutex);
    std::swap(p, g_presenter);
    return p;
}

MsgResult DefaultButton(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgResult::Yes;
    case MsgButtons::RetryCancel:
        return MsgResult::Retry;
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        break;
    }
    return MsgResult::Ok;
}

MsgResult ShowMessage(WindowOwner owner, const std::string& text, MsgButtons buttons,
                      MsgIcon icon) {
    if (icon == MsgIcon::None) {
        if (buttons == MsgButtons::Ok)
            icon = MsgIcon::Exclamation;
        else if (buttons == MsgButtons::YesNo)
            icon = MsgIcon::Question;
    }
    return CurrentPresenter()->Present(owner, InstanceName(), text, buttons, icon);
}

MsgResult ConsoleMessagePresenter::Present(WindowOwner, const std::string& caption,
                                           const std::string& text, MsgButtons buttons, MsgIcon) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return DefaultButton(buttons);
}

void ScriptedMessageResponder::Answer(MsgResult result) {
    std::lock_guard lock(mutex_);
    script_.push_back(result);
}

std::vector<ScriptedMessageResponder::Shown> ScriptedMessageResponder::Boxes() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

std::vector<std::string> ScriptedMessageResponder::Texts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& s : shown_)
        texts.push_back(s.text);
    return texts;
}

size_t ScriptedMessageResponder::Count() const {
    std::lock_guard lock(mutex_);
    return shown_.size();
}

void ScriptedMessageResponder::Clear() {
    std::lock_guard lock(mutex_);
    shown_.clear();
    script_.clear();
}

MsgResult ScriptedMessageResponder::Present(WindowOwner, const std::string& caption,
                                            const std::string& text, MsgButtons buttons,
                                            MsgIcon icon) {
    std::lock_guard lock(mutex_);
    shown_.push_back({caption, text, buttons, icon});
    if (script_.empty())
        return DefaultButton(buttons);
    MsgResult r = script_.front();
    script_.pop_front();
    return r;
}

ScopedMessageResponder::ScopedMessageResponder()
    : responder_(std::make_shared<ScriptedMessageResponder>()),
      previous_(SetMessageBoxPresenter(responder_)) {}

ScopedMessageResponder::~ScopedMessageResponder() {
    SetMessageBoxPresenter(previous_);
}

} // namespace tavora::platform
