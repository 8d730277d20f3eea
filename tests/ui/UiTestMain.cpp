// GoogleTest with a QApplication on the offscreen platform: the windows are real, nothing shows.
#include <gtest/gtest.h>

#include <QApplication>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_UNDER_ASAN 1
#endif

#ifdef QUILLON_UNDER_ASAN
// Fontconfig and the Qt platform layer keep caches for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libQt6Gui.so\n"
         "leak:libQt6Core.so\n";
}
#endif

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
