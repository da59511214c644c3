#include "QtInputFeed.h"

#include "KeyStateTracker.h"
#include "VirtualKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// X11 keysyms of the modifiers that tell the left key from the right one.
constexpr quint32 kXkShiftL = 0xffe1;
constexpr quint32 kXkShiftR = 0xffe2;
constexpr quint32 kXkControlL = 0xffe3;
constexpr quint32 kXkControlR = 0xffe4;
constexpr quint32 kXkAltL = 0xffe9;
constexpr quint32 kXkAltR = 0xffea;
constexpr quint32 kXkIsoLevel3Shift = 0xfe03; // AltGr

int ModifierKey(const QKeyEvent& event) {
    const quint32 keysym = event.nativeVirtualKey();
    switch (event.key()) {
    case Qt::Key_Shift:
        return keysym == kXkShiftR ? VK_RSHIFT : keysym == kXkShiftL ? VK_LSHIFT : VK_SHIFT;
    case Qt::Key_Control:
        return keysym == kXkControlR ? VK_RCONTROL : keysym == kXkControlL ? VK_LCONTROL : VK_CONTROL;
    case Qt::Key_Alt:
        return keysym == kXkAltR ? VK_RMENU : keysym == kXkAltL ? VK_LMENU : VK_MENU;
    case Qt::Key_AltGr:
        return VK_RMENU;
    default:
        return keysym == kXkIsoLevel3Shift ? VK_RMENU : 0;
    }
}

int NamedKey(int key) {
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
        return VK_LWIN;
    case Qt::Key_Super_R:
        return VK_RWIN;
    case Qt::Key_Menu:
        return VK_APPS;
    case Qt::Key_NumLock:
        return VK_NUMLOCK;
    case Qt::Key_ScrollLock:
        return VK_SCROLL;
    default:
        return 0;
    }
}

// Letters and digits by the character on the key, upper case, as Windows numbers them.
int CharacterKey(quint32 character) {
    if (character >= 'a' && character <= 'z')
        return static_cast<int>(character - 'a' + 'A');
    if ((character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9'))
        return static_cast<int>(character);
    return 0;
}

} // namespace

QtInputFeed::QtInputFeed(QObject* parent) : QObject(parent) {}

QtInputFeed* QtInputFeed::InstallOn(QCoreApplication* application) {
    if (application == nullptr)
        return nullptr;
    auto* feed = new QtInputFeed(application);
    application->installEventFilter(feed);
    return feed;
}

int QtInputFeed::VirtualKeyOf(const QKeyEvent& event) {
    if (const int modifier = ModifierKey(event))
        return modifier;
    const int key = event.key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + (key - Qt::Key_F1);
    if (key >= Qt::Key_0 && key <= Qt::Key_9 && (event.modifiers() & Qt::KeypadModifier))
        return VK_NUMPAD0 + (key - Qt::Key_0);
    if (const int named = NamedKey(key))
        return named;
    if (const int character = CharacterKey(static_cast<quint32>(key)))
        return character;
    // Under a non-Latin layout the key reports its own script; the X keysym still names the Latin
    // letter printed beside it in most layouts, which is what the shortcuts mean.
    return CharacterKey(event.nativeVirtualKey());
}

int QtInputFeed::VirtualKeyOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return VK_LBUTTON;
    case Qt::RightButton:
        return VK_RBUTTON;
    case Qt::MiddleButton:
        return VK_MBUTTON;
    case Qt::BackButton:
        return VK_XBUTTON1;
    case Qt::ForwardButton:
        return VK_XBUTTON2;
    default:
        return 0;
    }
}

bool QtInputFeed::eventFilter(QObject* watched, QEvent* event) {
    KeyStateTracker& keys = KeyStateTracker::GetInstance();
    switch (event->type()) {
    case QEvent::KeyPress:
        keys.KeyDown(VirtualKeyOf(*static_cast<QKeyEvent*>(event)));
        break;
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        // An auto-repeat release is followed at once by another press: the key is still held.
        if (!key->isAutoRepeat())
            keys.KeyUp(VirtualKeyOf(*key));
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint global = mouse->globalPosition().toPoint();
        keys.SetCursorScreenPos(POINT{global.x(), global.y()});
        if (event->type() == QEvent::MouseButtonRelease)
            keys.KeyUp(VirtualKeyOf(mouse->button()));
        else if (event->type() != QEvent::MouseMove)
            keys.KeyDown(VirtualKeyOf(mouse->button()));
        break;
    }
    case QEvent::ApplicationStateChange:
        // Releases made in another application are never reported to this one.
        if (static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)
            keys.FocusLost();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
