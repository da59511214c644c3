// Records every message box shown while it is alive instead of presenting it, and puts the previous
// presenter back when it goes. For tests, and for tools that collect messages to print later.
#pragma once

#include "MessageBox.h"

#include <string>
#include <vector>

class MessageBoxRecorder {
public:
    struct Message {
        HWND owner;
        std::string text;
        std::string caption;
        unsigned type;
    };

    explicit MessageBoxRecorder(int answer = IDOK);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<Message>& Messages() const { return m_messages; }

private:
    std::vector<Message> m_messages;
    MessageBoxPresenter m_previous;
};
