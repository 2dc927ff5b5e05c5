// Registry, shell, GUIDs and the scripted dialogs.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/guids.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/testing/memory_registry.h"
#include "platform/testing/recording_shell.h"
#include "platform/testing/scripted_dialogs.h"
#include "platform/testing/sequence_guid_source.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(DesktopRegistryTest, BrowserCommandIsXdgOpenWhenItExists) {
  const std::string fakeLauncher = (fs::path(NUTARO_BINARY_DIR) / "fake-xdg-open").string();
  WriteFileAtomically(fakeLauncher, "#!/bin/sh\n");
  fs::permissions(fakeLauncher, fs::perms::owner_all);

  const DesktopRegistry withLauncher(fakeLauncher);
  EXPECT_TRUE(withLauncher.KeyExists(RootKey::kClassesRoot, kBrowserCommandKey));
  EXPECT_EQ(withLauncher.ReadString(RootKey::kClassesRoot, "htmlfile\\shell\\open\\command", ""),
            "\"" + fakeLauncher + "\" \"%1\"");
  EXPECT_EQ(withLauncher.ReadString(RootKey::kClassesRoot, "\\HTMLFILE\\Shell\\Open\\Command\\", ""),
            "\"" + fakeLauncher + "\" \"%1\"");
  EXPECT_FALSE(withLauncher.ReadString(RootKey::kClassesRoot, kBrowserCommandKey, "other"));
  EXPECT_FALSE(withLauncher.ReadString(RootKey::kLocalMachine, kBrowserCommandKey, ""));

  const DesktopRegistry withoutLauncher(fakeLauncher + "-missing");
  EXPECT_FALSE(withoutLauncher.KeyExists(RootKey::kClassesRoot, kBrowserCommandKey));
  EXPECT_FALSE(withoutLauncher.ReadString(RootKey::kClassesRoot, kBrowserCommandKey, ""));
  fs::remove(fakeLauncher);
}

TEST(DesktopRegistryTest, DaoEngineKeysReportEveryVersionWeServe) {
  const DesktopRegistry registry;
  for (const char* progId : {"DAO.DBEngine.35", "DAO.DBEngine.36", "DAO.DBEngine.120",
                             "DAO.PrivateDBEngine.35", "DAO.PrivateDBEngine.36",
                             "DAO.PrivateDBEngine.120", "dao.dbengine.36"}) {
    EXPECT_TRUE(registry.KeyExists(RootKey::kClassesRoot, progId)) << progId;
  }
  EXPECT_EQ(registry.ReadString(RootKey::kClassesRoot, "DAO.DBEngine.36", ""), "DAO.DBEngine.36");
  EXPECT_FALSE(registry.KeyExists(RootKey::kClassesRoot, "DAO.DBEngine.30"));
  EXPECT_FALSE(registry.KeyExists(RootKey::kLocalMachine, "DAO.DBEngine.36"));
  // The engines keys exist, but name no system database.
  EXPECT_TRUE(registry.KeyExists(RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\JET\\4.0\\Engines"));
  EXPECT_FALSE(registry.ReadString(RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\JET\\4.0\\Engines",
                                   "SystemDB"));
  EXPECT_FALSE(registry.KeyExists(RootKey::kCurrentUser, "Software"));
}

TEST(MemoryRegistryTest, KeysValuesAndScopes) {
  testing::MemoryRegistry registry;
  registry.SetString(RootKey::kClassesRoot, "\\htmlfile\\shell\\open\\command", "",
                     "\"C:\\Browser\\browser.exe\" -url \"%1\"");
  registry.SetNonString(RootKey::kLocalMachine, "Software\\X", "Number");
  EXPECT_TRUE(registry.KeyExists(RootKey::kClassesRoot, "HTMLFILE\\SHELL"));  // a parent
  EXPECT_FALSE(registry.KeyExists(RootKey::kLocalMachine, "htmlfile"));
  EXPECT_FALSE(registry.ReadString(RootKey::kLocalMachine, "Software\\X", "Number"));
  EXPECT_FALSE(registry.ReadString(RootKey::kClassesRoot, "htmlfile\\shell", ""));

  EXPECT_FALSE(CurrentRegistry().ReadString(RootKey::kLocalMachine, "Software\\X", "Number"));
  {
    const ScopedRegistry scoped(registry);
    EXPECT_EQ(CurrentRegistry().ReadString(RootKey::kClassesRoot, kBrowserCommandKey, ""),
              "\"C:\\Browser\\browser.exe\" -url \"%1\"");
  }
  EXPECT_NE(&CurrentRegistry(), &registry);
}

class SpawnShellTest : public ::testing::Test {
 protected:
  // Waits (without a deadline that decides the test) for a file to appear.
  static bool AppearsEventually(const fs::path& path) {
    for (int i = 0; i < 1000 && !fs::exists(path); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return fs::exists(path);
  }
};

TEST_F(SpawnShellTest, StartsTheProgramWithOneUninterpretedParameter) {
  const fs::path folder = fs::path(NUTARO_BINARY_DIR) / "platform_shell_test";
  fs::remove_all(folder);
  fs::create_directories(folder);
  // Blanks, quotes and shell syntax reach the program as one argument.
  const fs::path target = folder / "a b;$(echo x)'\"&.txt";
  SpawnShell shell;
  EXPECT_TRUE(shell.Open("/usr/bin/touch", target.string()));
  EXPECT_TRUE(AppearsEventually(target));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  fs::remove_all(folder);
}

TEST_F(SpawnShellTest, ReportsProgramsThatCannotStart) {
  SpawnShell shell;
  EXPECT_FALSE(shell.Open("/no/such/program", "x"));
  EXPECT_FALSE(shell.Open("", "x"));
}

TEST(RecordingShellTest, RecordsInsteadOfStarting) {
  testing::RecordingShell recording;
  const ScopedShell scoped(recording);
  EXPECT_TRUE(CurrentShell().Open("/usr/bin/xdg-open", "https://example.org"));
  recording.SetResult(false);
  EXPECT_FALSE(CurrentShell().Open("x", ""));
  EXPECT_EQ(recording.Calls(), (std::vector<testing::RecordingShell::Call>{
                                   {"/usr/bin/xdg-open", "https://example.org"}, {"x", ""}}));
}

TEST(GuidTest, TextFormFollowsTheWindowsStructLayout) {
  Guid guid;
  for (int i = 0; i < 16; ++i) guid.bytes[i] = static_cast<std::uint8_t>(i * 0x11 + 0x0A);
  // Data1 = bytes 0..3 little-endian, Data2 = 4..5, Data3 = 6..7, then 8..15.
  EXPECT_EQ(GuidToString(guid), "{3D2C1B0A-5F4E-8170-92A3-B4C5D6E7F809}");
  EXPECT_EQ(TryParseGuid("{3d2c1b0a-5f4e-8170-92a3-b4c5d6e7f809}"), guid);
  EXPECT_EQ(GuidToString(Guid{}), "{00000000-0000-0000-0000-000000000000}");
  EXPECT_TRUE(Guid{}.IsNull());
}

TEST(GuidTest, MalformedTexts) {
  for (const char* text : {"", "{3D2C1B0A-5F4E-8170-92A3-B4C5D6E7F80}",
                           "3D2C1B0A-5F4E-8170-92A3-B4C5D6E7F8099",
                           "{3D2C1B0A-5F4E-8170-92A3-B4C5D6E7F8G9}",
                           "{3D2C1B0A+5F4E-8170-92A3-B4C5D6E7F809}",
                           "{3D2C1B0A-5F4E-8170-92A3-B4C5D6E7F809)"}) {
    EXPECT_FALSE(TryParseGuid(text)) << text;
  }
  try {
    ParseGuid("{nonsense}");
    FAIL();
  } catch (const ConversionError& error) {
    EXPECT_EQ(error.GetKind(), ConversionError::Kind::kInvalidGuid);
    EXPECT_STREQ(error.what(), "'{nonsense}' ist kein gültiger GUID-Wert");
  }
}

TEST(GuidTest, NewGuidsAreRandomVersion4) {
  const Guid a = NewGuid();
  const Guid b = NewGuid();
  EXPECT_NE(a, b);
  for (const Guid& guid : {a, b}) {
    const std::string text = GuidToString(guid);
    EXPECT_EQ(text[15], '4') << text;                       // version
    EXPECT_NE(std::string("89AB").find(text[20]), std::string::npos) << text;  // variant
    EXPECT_EQ(TryParseGuid(text), guid);
  }
}

TEST(GuidTest, ReplaceableSource) {
  const Guid first = ParseGuid("{00000000-0000-0000-0000-0000000000FF}");
  testing::SequenceGuidSource source({first});
  const ScopedGuidSource scoped(source);
  EXPECT_EQ(NewGuid(), first);
  EXPECT_EQ(GuidToString(NewGuid()), "{00000000-0000-0000-0000-000000000100}");
}

TEST(ScriptedDialogsTest, AnswersFromTheQueueAndRecordsEverything) {
  testing::ScriptedDialogs dialogs;
  const ScopedDialogs scoped(dialogs);
  dialogs.PushSaveFile({true, "/tmp/ziel.ntd", 2});
  dialogs.PushMessageResult(MessageResult::kNo);
  dialogs.PushPassword({true, "geheim"});
  dialogs.PushLogin({false, {}, {}, {}});

  FileDialogState save{"Nutaro 4.x (*.mdb)|*.mdb|Nutaro 5.x alpha (*.ntd)|*.ntd", 1, "", false, ""};
  EXPECT_TRUE(CurrentDialogs().SaveFile(save));
  EXPECT_EQ(save.fileName, "/tmp/ziel.ntd");
  EXPECT_EQ(save.filterIndex, 2);
  const int owner = 0;
  EXPECT_EQ(ShowMessage(&owner, "Hinweis", "Fertig", MessageIcon::kWarning), MessageResult::kOk);
  EXPECT_EQ(ShowMessage(nullptr, "Frage", "Weiter?", MessageIcon::kQuestion, MessageButtons::kYesNo),
            MessageResult::kNo);
  std::string password = "alt";
  EXPECT_TRUE(CurrentDialogs().AskPassword(password));
  EXPECT_EQ(password, "geheim");
  LoginRequest login{"C:\\daten.mdb", "Admin", "", ""};
  EXPECT_FALSE(CurrentDialogs().AskLogin(login));
  EXPECT_EQ(login.userName, "Admin");

  ASSERT_EQ(dialogs.Requests().size(), 5u);
  EXPECT_EQ(dialogs.Requests()[0].file.filterIndex, 1);  // what was passed in
  EXPECT_EQ(dialogs.Requests()[3].password, "alt");
  EXPECT_EQ(dialogs.Requests()[4].login.database, "C:\\daten.mdb");
  const auto messages = dialogs.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].owner, &owner);
  EXPECT_EQ(messages[0].title, "Hinweis");
  EXPECT_EQ(messages[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(dialogs.MessageTexts(), (std::vector<std::string>{"Fertig", "Weiter?"}));
  EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

TEST(ScriptedDialogsTest, UnexpectedRequestsFailTheTestLoudly) {
  EXPECT_NONFATAL_FAILURE(
      {
        testing::ScriptedDialogs dialogs;
        FileDialogState state;
        EXPECT_FALSE(dialogs.OpenFile(state));
      },
      "no answer queued for an open-file dialog");
  EXPECT_NONFATAL_FAILURE(
      {
        testing::ScriptedDialogs dialogs;
        dialogs.PushPassword({true, "x"});
        EXPECT_EQ(dialogs.ShowMessageBox({nullptr, "T", "Sicher?", MessageIcon::kQuestion,
                                          MessageButtons::kYesNoCancel}),
                  MessageResult::kCancel);
        dialogs.ClearRequests();
        std::string password;
        dialogs.AskPassword(password);
      },
      "but the next answer is a password answer");
  EXPECT_NONFATAL_FAILURE(
      {
        testing::ScriptedDialogs dialogs;
        dialogs.PushMessageResult(MessageResult::kYes);
      },
      "never asked for");
}

}  // namespace
}  // namespace platform
