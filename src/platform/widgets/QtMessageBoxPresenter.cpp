#include "QtMessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>

namespace {

constexpr unsigned kButtonMask = 0x0000000Fu;
constexpr unsigned kIconMask = 0x000000F0u;
constexpr unsigned kDefaultButtonMask = 0x00000F00u;
constexpr unsigned kYesNoCancel = 0x00000003u;
constexpr unsigned kIconQuestion = 0x00000020u;

QMessageBox::StandardButtons MessageBoxButtons(unsigned type) {
    switch (type & kButtonMask) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case kYesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon MessageBoxIcon(unsigned type) {
    switch (type & kIconMask) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case kIconQuestion:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int MessageBoxAnswer(QMessageBox::StandardButton pressed, unsigned type) {
    switch (pressed) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        break;
    }
    // Closed without a button: the answer that does least, as Escape gives on Windows.
    switch (type & kButtonMask) {
    case MB_OKCANCEL:
    case kYesNoCancel:
        return IDCANCEL;
    case MB_YESNO:
        return IDNO;
    default:
        return IDOK;
    }
}

int PresentInQtDialog(HWND, const std::string& text, const std::string& caption, unsigned type) {
    if (QApplication::instance() == nullptr)
        return PresentMessageOnStandardError(nullptr, text, caption, type);

    QMessageBox box(MessageBoxIcon(type), QString::fromStdString(caption), QString::fromStdString(text),
                    MessageBoxButtons(type), QApplication::activeWindow());
    // MB_DEFBUTTON2 and MB_DEFBUTTON3 move the default from the first button.
    const auto defaultIndex = static_cast<qsizetype>((type & kDefaultButtonMask) >> 8);
    QList<QMessageBox::StandardButton> order;
    for (QMessageBox::StandardButton button :
         {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        if (MessageBoxButtons(type).testFlag(button))
            order.append(button);
    if (defaultIndex < order.size())
        box.setDefaultButton(order[defaultIndex]);
    box.exec();
    return MessageBoxAnswer(box.standardButton(box.clickedButton()), type);
}

} // namespace

void InstallQtMessageBoxPresenter() {
    SetMessageBoxPresenter(PresentInQtDialog);
}
