// main() of the test executables that need a QApplication.
//
// The settings store is redirected to a fresh temporary directory before Qt starts, so tests never
// read or write the user's own settings. Listing the tests (CTest's discovery) needs no application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const auto listing = [](const char* argument) { return std::strcmp(argument, "--gtest_list_tests") == 0; };
  if (std::any_of(argv + 1, argv + argc, listing)) return RUN_ALL_TESTS();

  std::string settings = (std::filesystem::temp_directory_path() / "ostrel-settings-XXXXXX").string();
  if (mkdtemp(settings.data()) == nullptr) settings = std::filesystem::temp_directory_path().string();
  setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(settings));
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(settings));

  QApplication application(argc, argv);
  QApplication::setOrganizationName("Kavo");
  QApplication::setApplicationName("Ostrel");
  const int result = RUN_ALL_TESTS();
  // Mesa unloads its graphics driver when the display closes; what the driver took for the first
  // context and never gives back then shows as a leak of a module that is gone, which no suppression
  // can name. Kept loaded, that memory stays reachable from the driver's own globals.
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void*) {
        if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so"))
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
  std::error_code ignored;
  std::filesystem::remove_all(settings, ignored);
  return result;
}
