#include "WindowRegistry.h"
#include "Win32Input.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

class FakeWindow : public PlatformWindow {
public:
    explicit FakeWindow(POINT origin) : m_origin(origin) {}
    POINT ClientOriginOnScreen() const override { return m_origin; }
    bool IsActive() const override { return m_active; }
    void SetActive(bool active) { m_active = active; }
    HWND Handle() { return reinterpret_cast<HWND>(this); }

private:
    POINT m_origin;
    bool m_active = false;
};

// Keeps a window registered for the scope of a test, whatever the test's outcome.
struct Registration {
    explicit Registration(FakeWindow& window) : handle(window.Handle()) {
        EXPECT_TRUE(WindowRegistry::GetInstance().Register(handle, &window));
    }
    ~Registration() { WindowRegistry::GetInstance().Unregister(handle); }
    HWND handle;
};

} // namespace

TEST(ScreenAndClientCoordinates, ConvertByTheClientOriginBothWays) {
    FakeWindow view({300, -40});
    Registration registered(view);
    POINT pt{250, 10};
    EXPECT_TRUE(ScreenToClient(view.Handle(), &pt));
    EXPECT_EQ(pt.x, -50);
    EXPECT_EQ(pt.y, 50);
    EXPECT_TRUE(ClientToScreen(view.Handle(), &pt));
    EXPECT_EQ(pt.x, 250);
    EXPECT_EQ(pt.y, 10);
}

TEST(ScreenAndClientCoordinates, FailLeavingThePointAloneForUnknownHandlesAndNullPoints) {
    FakeWindow view({300, 200});
    FakeWindow unregistered({1, 1});
    POINT pt{12, 34};
    {
        Registration registered(view);
        EXPECT_FALSE(ScreenToClient(nullptr, &pt));
        EXPECT_FALSE(ClientToScreen(unregistered.Handle(), &pt));
        EXPECT_FALSE(ScreenToClient(view.Handle(), nullptr));
        EXPECT_FALSE(GetCursorPos(nullptr));
    }
    EXPECT_FALSE(ScreenToClient(view.Handle(), &pt)) << "unregistered";
    EXPECT_EQ(pt.x, 12);
    EXPECT_EQ(pt.y, 34);
}

TEST(ScreenAndClientCoordinates, ClampInsteadOfOverflowing) {
    constexpr LONG kMax = std::numeric_limits<LONG>::max();
    constexpr LONG kMin = std::numeric_limits<LONG>::min();
    FakeWindow far({kMin, kMax});
    Registration registered(far);
    POINT pt{kMax, kMin};
    EXPECT_TRUE(ScreenToClient(far.Handle(), &pt));
    EXPECT_EQ(pt.x, kMax);
    EXPECT_EQ(pt.y, kMin);
    pt = {kMax, kMax};
    EXPECT_TRUE(ClientToScreen(far.Handle(), &pt));
    EXPECT_EQ(pt.x, -1);
    EXPECT_EQ(pt.y, kMax);
}

TEST(WindowRegistry, RefusesNullsAndReplacesTheWindowOfAHandleRegisteredAgain) {
    WindowRegistry registry;
    FakeWindow first({10, 10});
    FakeWindow second({20, 20});
    HWND handle = first.Handle();
    EXPECT_FALSE(registry.Register(nullptr, &first));
    EXPECT_FALSE(registry.Register(handle, nullptr));
    EXPECT_EQ(registry.Find(handle), nullptr);
    EXPECT_TRUE(registry.Register(handle, &first));
    EXPECT_TRUE(registry.Register(handle, &second));
    EXPECT_EQ(registry.Find(handle), &second);
    registry.Unregister(handle);
    EXPECT_EQ(registry.Find(handle), nullptr);
}

TEST(GetActiveWindow, IsTheRegisteredWindowThatReportsActiveOrNull) {
    FakeWindow mainWindow({0, 0});
    FakeWindow viewControl({10, 60});
    {
        Registration registeredMain(mainWindow);
        Registration registeredView(viewControl);
        EXPECT_EQ(GetActiveWindow(), nullptr) << "another application has the focus";
        mainWindow.SetActive(true);
        EXPECT_EQ(GetActiveWindow(), mainWindow.Handle());
    }
    EXPECT_EQ(GetActiveWindow(), nullptr) << "unregistered";
}
