// The Debian package as `cpack -G DEB` builds it from the build folder:
// what it depends on (the libraries the programs load, nothing the tests
// use) and what it holds. On the CI machine, where the tests run as root,
// the package is also installed with dpkg and its command run from /usr/bin,
// then removed again.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "platform/testing/temp_folder.h"
#include "tools/tests/program_run.h"

namespace desktop {
namespace {

namespace fs = std::filesystem;
using platform::testing::TempFolder;
using tools::testing::RunShell;
using tools::testing::ToolRun;

constexpr char kPackage[] = "nutaro-konverter";

class Package : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    if (RunShell(*folder_, "command -v dpkg-deb && command -v dpkg-shlibdeps").exitCode != 0) return;
    build_ = new ToolRun(RunShell(*folder_, NUTARO_CPACK_COMMAND " -G DEB --config " NUTARO_BINARY_DIR
                                            "/CPackConfig.cmake -B " + folder_->File("package")));
    for (const auto& entry : fs::directory_iterator(folder_->File("package"))) {
      if (entry.path().extension() == ".deb") deb_ = entry.path().string();
    }
  }
  static void TearDownTestSuite() {
    delete build_;
    delete folder_;
    build_ = nullptr;
  }
  void SetUp() override {
    if (build_ == nullptr) GTEST_SKIP() << "dpkg-deb or dpkg-shlibdeps is not installed (dpkg-dev)";
    ASSERT_EQ(build_->exitCode, 0) << build_->out << build_->err;
    ASSERT_FALSE(deb_.empty()) << build_->out;
  }

  ToolRun Run(const std::string& command) const { return RunShell(folder_here_, command); }
  std::string Field(const std::string& name) const {
    const ToolRun run = Run("dpkg-deb --field " + deb_ + " " + name);
    return run.exitCode == 0 ? run.out : "(" + run.err + ")";
  }

  static TempFolder* folder_;
  static ToolRun* build_;
  static std::string deb_;
  TempFolder folder_here_;
};

TempFolder* Package::folder_ = nullptr;
ToolRun* Package::build_ = nullptr;
std::string Package::deb_;

TEST_F(Package, IsNamedAndVersionedAfterTheProgram) {
  EXPECT_EQ(Field("Package"), std::string(kPackage) + "\n");
  EXPECT_EQ(Field("Version"), NUTARO_VERSION "\n");
  EXPECT_EQ(fs::path(deb_).filename().string().rfind(std::string(kPackage) + "_" NUTARO_VERSION "_", 0), 0u) << deb_;
  const ToolRun info = Run("dpkg-deb --info " + deb_);
  EXPECT_EQ(info.exitCode, 0) << info.err;
  EXPECT_NE(info.out.find(" Depends: "), std::string::npos) << info.out;
}

TEST_F(Package, DependsOnQtWidgetsAndGlibcAndNothingTheTestsUse) {
  const std::string depends = Field("Depends");
  for (const char* library : {"libqt6widgets6", "libc6"}) {
    EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from: " << depends;
  }
  for (const char* testOnly : {"gtest", "gmock", "benchmark", "mdbtools", "nodejs", "npm", "-dev", "desktop-file-utils",
                               "appstream"}) {
    EXPECT_EQ(depends.find(testOnly), std::string::npos) << testOnly << " in: " << depends;
  }
}

TEST_F(Package, HoldsTheProgramsDesktopFilesIconsAndManualPagesBelowUsr) {
  const ToolRun contents = Run("dpkg-deb --contents " + deb_ + " | awk '{print $6}'");
  ASSERT_EQ(contents.exitCode, 0) << contents.err;
  for (const std::string file :
       {"./usr/bin/nutaro", "./usr/bin/nutaro-konverter", "./usr/share/applications/de.nutaro.Konverter.desktop",
        "./usr/share/metainfo/de.nutaro.Konverter.metainfo.xml", "./usr/share/mime/packages/nutaro-table.xml",
        "./usr/share/man/man1/nutaro.1.gz", "./usr/share/man/man1/nutaro-konverter.1.gz",
        "./usr/share/icons/hicolor/48x48/apps/de.nutaro.Konverter.png",
        "./usr/share/icons/hicolor/256x256/apps/de.nutaro.Konverter.png"}) {
    EXPECT_NE(contents.out.find(file + "\n"), std::string::npos) << file;
  }
  std::istringstream lines(contents.out);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_EQ(line.rfind("./usr/", 0), 0u) << line;
    EXPECT_EQ(line.find("test"), std::string::npos) << line;
  }
}

TEST_F(Package, InstallsWithDpkgAndItsCommandRuns) {
  if (std::getenv("CI") == nullptr || ::geteuid() != 0) {
    GTEST_SKIP() << "installs into the system only on the CI machine (CI set, running as root)";
  }
  const bool installedBefore =
      Run(std::string("dpkg-query -W -f='${Status}' ") + kPackage + " | grep -q 'install ok installed'").exitCode == 0;
  const ToolRun install = Run("dpkg -i " + deb_);
  EXPECT_EQ(install.exitCode, 0) << install.out << install.err;
  const ToolRun version = Run("/usr/bin/nutaro --version");
  EXPECT_EQ(version.out, "nutaro " NUTARO_VERSION "\n") << version.err;
  if (!installedBefore) {
    const ToolRun remove = Run(std::string("dpkg -r ") + kPackage);
    EXPECT_EQ(remove.exitCode, 0) << remove.out << remove.err;
  }
}

}  // namespace
}  // namespace desktop
