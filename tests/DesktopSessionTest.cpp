#include "platform/desktop/DesktopSession.h"

#include <gtest/gtest.h>

TEST(DesktopSession, ChoosesXcbInAWaylandSessionWithXwaylandUnlessTheUserChoseAnotherPlatform)
{
    const auto with = [](const char* platform, const char* wayland, const char* display) {
        for (const auto& [name, value] :
             {std::pair{"QT_QPA_PLATFORM", platform}, std::pair{"WAYLAND_DISPLAY", wayland},
              std::pair{"DISPLAY", display}}) {
            if (value)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
        qunsetenv("XDG_SESSION_TYPE");
        return DesktopSession::preferredPlatform();
    };
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    EXPECT_EQ(with(nullptr, "wayland-1", ":0"), "xcb");
    // Wayland chosen for every Qt program, in any of the forms Qt reads.
    EXPECT_EQ(with("wayland", "wayland-1", ":0"), "xcb");
    EXPECT_EQ(with("wayland-egl;xcb", "wayland-1", ":0"), "xcb");
    EXPECT_EQ(with("wayland:nodecorations", "wayland-1", ":0"), "xcb");
    EXPECT_EQ(with("wayland", "wayland-1", nullptr), "");
    EXPECT_EQ(with("offscreen", "wayland-1", ":0"), "");
    EXPECT_EQ(with("xcb;wayland", "wayland-1", ":0"), "");
    EXPECT_EQ(with(nullptr, "wayland-1", nullptr), "");
    EXPECT_EQ(with(nullptr, nullptr, ":0"), "");
    qputenv("XDG_SESSION_TYPE", "wayland");
    qunsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(DesktopSession::preferredPlatform(), "xcb");
    qunsetenv("XDG_SESSION_TYPE");
    qputenv("QT_QPA_PLATFORM", platform);
}
