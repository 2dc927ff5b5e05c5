#include "conversion_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "dao/tests/fixture_support.h"
#include "modal_driver.h"
#include "widgets/caption_progress_bar.h"

namespace app::testing {
namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

void CopyIfPresent(const std::string& from, const std::string& to) {
  if (std::filesystem::exists(from)) std::filesystem::copy_file(from, to);
}

}  // namespace

void ConversionTest::SetUp() {
  if (dao::testing::FixturesDir().empty()) GTEST_SKIP() << "the fixture folder is absent";
  konvert_.show();
  QApplication::setActiveWindow(&konvert_);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&konvert_));
}

void ConversionTest::ChooseSource(const std::string& path) {
  dialogs_.PushOpenFile({true, path, 1});
  Child<QPushButton>(konvert_, "BitBtn1")->click();
}

void ConversionTest::ChooseTarget(const std::string& path, int filterIndex) {
  dialogs_.PushSaveFile({true, path, filterIndex});
  Child<QPushButton>(konvert_, "BitBtn2")->click();
}

void ConversionTest::CancelSource() {
  dialogs_.PushOpenFile({false, "", 1});
  Child<QPushButton>(konvert_, "BitBtn1")->click();
}

void ConversionTest::CancelTarget() {
  dialogs_.PushSaveFile({false, "", 1});
  Child<QPushButton>(konvert_, "BitBtn2")->click();
}

void ConversionTest::AllowAppending() {
  auto* box = Child<QCheckBox>(konvert_, "CBUeber");
  if (!box->isChecked()) box->click();
}

void ConversionTest::SetCategories(bool copy) {
  auto* box = Child<QCheckBox>(konvert_, "CBRubrik");
  if (box->isChecked() != copy) box->click();
}

QStringList ConversionTest::Convert() {
  QSignalSpy captions(Child<widgets::CaptionProgressBar>(konvert_, "Fortschritt2"),
                      &widgets::CaptionProgressBar::CaptionChanged);
  Child<QPushButton>(konvert_, "Button1")->click();
  QStringList shown;
  for (const QList<QVariant>& signal : captions) shown.append(signal.at(0).toString());
  return shown;
}

QString ConversionTest::Shown(const char* control) const { return Child<QLabel>(konvert_, control)->text(); }

bool ConversionTest::IsEnabled(const char* control) const { return Child<QWidget>(konvert_, control)->isEnabled(); }

bool ConversionTest::IsChecked(const char* control) const {
  return Child<QCheckBox>(konvert_, control)->isChecked();
}

std::vector<std::string> ConversionTest::TakeMessages() {
  std::vector<std::string> texts = dialogs_.MessageTexts();
  dialogs_.ClearRequests();
  return texts;
}

CommandTwin::CommandTwin(const std::string& source, const std::string& target)
    : source_(folder_.File(std::filesystem::path(source).filename().string())),
      target_(folder_.File(std::filesystem::path(target).filename().string())) {
  std::filesystem::copy_file(source, source_);
  CopyIfPresent(target, target_);
}

tools::testing::ToolRun CommandTwin::Convert(const std::string& options) {
  return tools::testing::RunNutaro(folder_, "convert " + Quoted(source_) + " " + Quoted(target_) + " " + options);
}

std::string CommandTwin::ExpectSameDump(const std::string& target) {
  const std::string window = Dump(target);
  EXPECT_EQ(Dump(target_), window) << "nutaro convert and the window made different targets";
  return window;
}

std::string Dump(const std::string& file) {
  platform::testing::TempFolder folder;
  const tools::testing::ToolRun run = tools::testing::RunNutaro(folder, "dump " + Quoted(file));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return run.out;
}

}  // namespace app::testing
