// The program as a person installs it: `cmake --install` into a staging
// folder (DESTDIR) with the prefix /usr, as a package is laid out, and the
// installed files and programs checked from there, away from the build
// folder: the command answers, the window comes up (offscreen), and the
// desktop's own validators accept the desktop entry and the software-centre
// description, which must name each other, the icon and the file type
// consistently.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "platform/file_io.h"
#include "platform/testing/temp_folder.h"
#include "tools/tests/program_run.h"

namespace desktop {
namespace {

namespace fs = std::filesystem;
using platform::testing::TempFolder;
using tools::testing::RunShell;
using tools::testing::ToolRun;

constexpr char kAppId[] = "de.nutaro.Konverter";
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool Have(const TempFolder& folder, const std::string& program) {
  return RunShell(folder, "command -v " + program).exitCode == 0;
}

// The value of `key` in the [Desktop Entry] group of a desktop entry text.
std::string EntryValue(const std::string& entry, const std::string& key) {
  std::smatch match;
  return std::regex_search(entry, match, std::regex("(^|\n)" + key + "=([^\n]*)")) ? match[2].str() : "";
}

// Width and height of a PNG file, from its header chunk.
std::pair<int, int> PngSize(const std::string& path) {
  const std::string head = platform::ReadFileHead(path, 24);
  if (head.size() < 24 || head.compare(1, 3, "PNG") != 0) return {0, 0};
  const auto number = [&](std::size_t at) {
    int value = 0;
    for (std::size_t i = at; i < at + 4; ++i) value = value * 256 + static_cast<unsigned char>(head[i]);
    return value;
  };
  return {number(16), number(20)};
}

class Installed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    stage_ = new TempFolder;
    install_ = new ToolRun(RunShell(*stage_, "DESTDIR=" + stage_->File("root") + " " NUTARO_CMAKE_COMMAND
                                              " --install " NUTARO_BINARY_DIR " --prefix /usr"));
  }
  static void TearDownTestSuite() {
    delete install_;
    delete stage_;
  }
  void SetUp() override { ASSERT_EQ(install_->exitCode, 0) << install_->out << install_->err; }

  // The installed path of `path` below /usr.
  static std::string Usr(const std::string& path) { return stage_->File("root/usr/" + path); }
  ToolRun Run(const std::string& command) const { return RunShell(folder_, command); }

  static TempFolder* stage_;
  static ToolRun* install_;
  TempFolder folder_;
};

TempFolder* Installed::stage_ = nullptr;
ToolRun* Installed::install_ = nullptr;

TEST_F(Installed, LaysOutTheProgramsManualPagesDesktopEntryFileTypeAndIcons) {
  for (const std::string path :
       {"bin/nutaro", "bin/nutaro-konverter", "share/man/man1/nutaro.1.gz", "share/man/man1/nutaro-konverter.1.gz",
        "share/applications/de.nutaro.Konverter.desktop", "share/metainfo/de.nutaro.Konverter.metainfo.xml",
        "share/mime/packages/nutaro-table.xml"}) {
    EXPECT_TRUE(fs::is_regular_file(Usr(path))) << path;
  }
  for (const std::string program : {"bin/nutaro", "bin/nutaro-konverter"}) {
    EXPECT_NE(fs::status(Usr(program)).permissions() & fs::perms::others_exec, fs::perms::none) << program;
  }
  for (const int size : kIconSizes) {
    const std::string icon = "share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/" +
                             kAppId + ".png";
    EXPECT_EQ(PngSize(Usr(icon)), std::pair(size, size)) << icon;
  }
}

TEST_F(Installed, TheCommandAnswersWithItsVersionAndHelp) {
  const ToolRun version = Run(Usr("bin/nutaro") + " --version");
  EXPECT_EQ(version.exitCode, 0) << version.err;
  EXPECT_EQ(version.out, "nutaro " NUTARO_VERSION "\n");
  const ToolRun help = Run(Usr("bin/nutaro") + " --help");
  EXPECT_EQ(help.exitCode, 0) << help.err;
  EXPECT_NE(help.out.find("\nCommands:\n"), std::string::npos) << help.out;
}

// The probe plugin (app/tests/window_probe.cpp) reports the first window
// shown and closes it; `timeout` only turns a window that never comes up
// into a failure instead of a test that hangs. The desktop file the window
// names is the installed menu entry, by which the desktop finds its icon.
TEST_F(Installed, TheWindowComesUpWithItsTitleAndIcon) {
  const ToolRun run = Run("QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH=" NUTARO_BINARY_DIR
                          "/testing/qt-plugins QT_QPA_GENERIC_PLUGINS=nutaro-window-probe timeout 300 " +
                          Usr("bin/nutaro-konverter"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "window: Nutaro - Konverter 2.60; size 576x350; icon 16x16 32x32; desktop file " +
                         std::string(kAppId) + "\n")
      << run.err;
}

TEST_F(Installed, TheDesktopValidatorsAcceptTheEntryAndTheDescription) {
  if (!Have(folder_, "desktop-file-validate") || !Have(folder_, "appstreamcli")) {
    GTEST_SKIP() << "desktop-file-validate or appstreamcli is not installed (scripts/install-deps.sh installs them)";
  }
  const ToolRun entry = Run("desktop-file-validate " + Usr("share/applications/de.nutaro.Konverter.desktop"));
  EXPECT_EQ(entry.exitCode, 0) << entry.out << entry.err;
  EXPECT_EQ(entry.out + entry.err, "");
  const ToolRun metainfo =
      Run("appstreamcli validate --no-net " + Usr("share/metainfo/de.nutaro.Konverter.metainfo.xml"));
  EXPECT_EQ(metainfo.exitCode, 0) << metainfo.out << metainfo.err;
}

// The names that tie the installed files together: the menu entry starts
// an installed program with the file it is given and shows an installed
// icon; it offers itself for Access databases and for the type the MIME
// file defines; the description names the entry and the same type.
TEST_F(Installed, TheEntryTheDescriptionAndTheFileTypeNameEachOther) {
  const std::string entry = platform::ReadWholeFile(Usr("share/applications/de.nutaro.Konverter.desktop"));
  const std::string metainfo = platform::ReadWholeFile(Usr("share/metainfo/de.nutaro.Konverter.metainfo.xml"));
  const std::string mime = platform::ReadWholeFile(Usr("share/mime/packages/nutaro-table.xml"));

  EXPECT_EQ(EntryValue(entry, "Name\\[de\\]"), "Nutaro - Konverter");
  EXPECT_EQ(EntryValue(entry, "Exec"), "nutaro-konverter %f");
  EXPECT_TRUE(fs::exists(Usr("bin/" + EntryValue(entry, "TryExec"))));
  EXPECT_EQ(EntryValue(entry, "Icon"), kAppId);

  std::smatch type;
  ASSERT_TRUE(std::regex_search(mime, type, std::regex("<mime-type type=\"([^\"]+)\"")));
  EXPECT_EQ(EntryValue(entry, "MimeType"), "application/vnd.ms-access;" + type[1].str() + ";");
  EXPECT_NE(metainfo.find("<mediatype>" + type[1].str() + "</mediatype>"), std::string::npos);
  EXPECT_NE(metainfo.find("<id>" + std::string(kAppId) + "</id>"), std::string::npos);
  EXPECT_NE(metainfo.find("<launchable type=\"desktop-id\">" + std::string(kAppId) + ".desktop</launchable>"),
            std::string::npos);
  EXPECT_NE(metainfo.find("<release version=\"" NUTARO_VERSION "\""), std::string::npos);
}

// The software centre shows a picture the window tests took; the copy in
// the source tree is the one published, and its size is what the
// description says.
TEST_F(Installed, TheDescriptionShowsAPictureOfTheWindow) {
  const std::string metainfo = platform::ReadWholeFile(Usr("share/metainfo/de.nutaro.Konverter.metainfo.xml"));
  std::smatch image;
  const std::regex source(R"re(<image type="source" width="(\d+)" height="(\d+)">https://[^<]*/([^/<]+)</image>)re");
  ASSERT_TRUE(std::regex_search(metainfo, image, source));
  const std::string picture = NUTARO_SOURCE_DIR "/docs/screenshots/" + image[3].str();
  EXPECT_EQ(PngSize(picture), std::pair(std::stoi(image[1]), std::stoi(image[2]))) << picture;
}

}  // namespace
}  // namespace desktop
