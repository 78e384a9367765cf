#include "platform/posix/desktop/Desktop.h"

#include <gtest/gtest.h>

namespace {

TEST(DesktopWindows, LiveUntilDestroyedAndTheNewestIsOnTop) {
    HostWindow first = desktop::CreateTopWindow("first");
    HostWindow second = desktop::CreateTopWindow("second");
    EXPECT_TRUE(desktop::IsWindow(first));
    EXPECT_EQ(desktop::GetTopWindow(), second);
    EXPECT_STREQ(desktop::GetWindowTitle(second), "second");

    EXPECT_TRUE(desktop::DestroyWindow(second));
    EXPECT_FALSE(desktop::IsWindow(second));
    EXPECT_FALSE(desktop::DestroyWindow(second));
    EXPECT_EQ(desktop::GetWindowTitle(second), nullptr);
    EXPECT_EQ(desktop::GetTopWindow(), first);

    EXPECT_TRUE(desktop::DestroyWindow(first));
    EXPECT_EQ(desktop::GetTopWindow(), nullptr);
    EXPECT_FALSE(desktop::IsWindow(nullptr));
}

} // namespace
