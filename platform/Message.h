#pragma once

#include <cstdint>
#include <memory>

namespace tavora::platform {

constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t WM_APP = 0x8000;

// Heap data carried by a message. It belongs to the message: the handler takes
// it, or it is freed with the message when the message cannot be delivered.
class MessagePayload {
public:
    virtual ~MessagePayload() = default;
};

class SendCompletion;

struct Message {
    uint32_t id = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    std::unique_ptr<MessagePayload> payload;

    // Set by a synchronous send; signalled when the message is handled or dropped.
    std::shared_ptr<SendCompletion> completion;

    Message() = default;
    Message(uint32_t id_, uintptr_t w = 0, intptr_t l = 0,
            std::unique_ptr<MessagePayload> p = nullptr)
        : id(id_), wParam(w), lParam(l), payload(std::move(p)) {}
    Message(Message&&) noexcept = default;
    Message& operator=(Message&&) noexcept;
    ~Message();

    // Typed view of the payload, null when it is of another type.
    template <typename T> T* PayloadAs() const { return dynamic_cast<T*>(payload.get()); }
    // Takes the payload out of the message, when it is of type T.
    template <typename T> std::unique_ptr<T> TakePayload() {
        if (!PayloadAs<T>())
            return nullptr;
        return std::unique_ptr<T>(static_cast<T*>(payload.release()));
    }

    // Called by a dispatcher right after the handler ran.
    void MarkHandled();
};

} // namespace tavora::platform
