// The main of every GoogleTest executable: pins the environment first, so a test gives the same
// verdict in CTest, in a developer's shell and in CI (locale, time zone, no display needed).
#include <gmock/gmock.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("LANG", "C.UTF-8", 1);
    ::setenv("TZ", "UTC", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
