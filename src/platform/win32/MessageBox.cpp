#include "MessageBox.h"

#include <cstdio>
#include <utility>

namespace {

MessageBoxPresenter& InstalledPresenter() {
    static MessageBoxPresenter presenter = PresentMessageOnStandardError;
    return presenter;
}

} // namespace

int PresentMessageOnStandardError(HWND, const std::string& text, const std::string& caption, unsigned) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return IDOK;
}

int MessageBoxA(HWND owner, const char* text, const char* caption, unsigned type) {
    return InstalledPresenter()(owner, text ? text : "", caption ? caption : "", type);
}

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter) {
    if (!presenter)
        presenter = PresentMessageOnStandardError;
    return std::exchange(InstalledPresenter(), std::move(presenter));
}
