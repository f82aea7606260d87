// main() of the test executables that need a QApplication.
//
// The settings store is redirected to a fresh temporary directory before Qt starts, so tests never
// read or write the user's own settings. Listing the tests (CTest's discovery) needs no application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

bool isListingOnly(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return true;
  return false;
}

std::string makeSettingsDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ostrel-settings-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return std::filesystem::temp_directory_path().string();
  return pattern;
}

// Mesa unloads its graphics driver when the display closes; what the driver took for the first
// context and never gives back then shows as a leak of a module that is gone, which no suppression
// can name. Kept loaded, that memory stays reachable from the driver's own globals.
void keepGraphicsDriversLoaded() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void*) {
        if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so"))
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}

} // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (isListingOnly(argc, argv)) return RUN_ALL_TESTS();

  const std::string settings = makeSettingsDirectory();
  setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(settings));
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(settings));

  QApplication application(argc, argv);
  QApplication::setOrganizationName("Kavo");
  QApplication::setApplicationName("Ostrel");
  const int result = RUN_ALL_TESTS();
  keepGraphicsDriversLoaded();
  std::error_code ignored;
  std::filesystem::remove_all(settings, ignored);
  return result;
}
