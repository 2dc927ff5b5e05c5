#include "app/homepage.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/testing/memory_registry.h"
#include "platform/testing/recording_shell.h"
#include "platform/testing/scripted_dialogs.h"

namespace app {
namespace {

using platform::RootKey;
using platform::testing::MemoryRegistry;
using platform::testing::RecordingShell;

class HomepageTest : public ::testing::Test {
 protected:
  void RegisterBrowser(std::string_view command) {
    registry_.SetString(RootKey::kClassesRoot, platform::kBrowserCommandKey, "", command);
  }
  std::vector<RecordingShell::Call> OpenAndRecord() {
    platform::ScopedRegistry registryInForce(registry_);
    platform::ScopedShell shellInForce(shell_);
    OpenInBrowser(kHomepageAddress);
    return shell_.Calls();
  }

  MemoryRegistry registry_;
  RecordingShell shell_;
  platform::testing::ScriptedDialogs dialogs_;
  platform::ScopedDialogs dialogsInForce_{dialogs_};
};

TEST_F(HomepageTest, QuotedProgramIsStartedWithTheAddressAloneNotItsOptions) {
  RegisterBrowser(R"("C:\Programme\Browser\browser.exe" -nohome "%1")");
  EXPECT_EQ(OpenAndRecord(), (std::vector<RecordingShell::Call>{
                                 {R"(C:\Programme\Browser\browser.exe)", kHomepageAddress}}));
}

TEST_F(HomepageTest, TheDesktopsOwnLauncherIsStartedWithTheAddress) {
  // The registry of the running program names the desktop's launcher when
  // it is installed; a temporary file stands in for it.
  const std::filesystem::path launcher =
      std::filesystem::temp_directory_path() / "nutaro-homepage-test-launcher";
  std::ofstream(launcher).put('#');
  std::filesystem::permissions(launcher, std::filesystem::perms::owner_all);
  const platform::DesktopRegistry desktop(launcher.string());
  platform::ScopedRegistry registryInForce(desktop);
  platform::ScopedShell shellInForce(shell_);
  OpenInBrowser(kHomepageAddress);
  std::filesystem::remove(launcher);
  EXPECT_EQ(shell_.Calls(),
            (std::vector<RecordingShell::Call>{{launcher.string(), kHomepageAddress}}));
}

TEST_F(HomepageTest, NothingStartsWithoutAUsableRegisteredCommand) {
  EXPECT_TRUE(OpenAndRecord().empty()) << "no key";

  registry_.AddKey(RootKey::kClassesRoot, platform::kBrowserCommandKey);
  EXPECT_TRUE(OpenAndRecord().empty()) << "key without default value";

  RegisterBrowser(R"(C:\Programme\Browser\browser.exe -nohome)");
  EXPECT_TRUE(OpenAndRecord().empty()) << "path without quotes";

  RegisterBrowser(R"("C:\Programme\Browser\browser.exe -nohome)");
  EXPECT_TRUE(OpenAndRecord().empty()) << "quote never closed";

  registry_.SetNonString(RootKey::kClassesRoot, platform::kBrowserCommandKey, "");
  EXPECT_TRUE(OpenAndRecord().empty()) << "value that is no string";
  EXPECT_TRUE(dialogs_.Messages().empty());
}

TEST_F(HomepageTest, AFailedStartIsNotReported) {
  RegisterBrowser(R"("/nowhere/browser")");
  shell_.SetResult(false);
  EXPECT_EQ(OpenAndRecord().size(), 1u);
  EXPECT_TRUE(dialogs_.Messages().empty());
}

}  // namespace
}  // namespace app
