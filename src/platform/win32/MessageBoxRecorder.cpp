#include "MessageBoxRecorder.h"

#include <utility>

MessageBoxRecorder::MessageBoxRecorder(int answer) {
    m_previous = SetMessageBoxPresenter(
        [this, answer](HWND owner, const std::string& text, const std::string& caption, unsigned type) {
            m_messages.push_back({owner, text, caption, type});
            return answer;
        });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxPresenter(std::move(m_previous)); }
