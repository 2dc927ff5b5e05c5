#pragma once

// The controls of the main window held as plain values, starting in the
// window's initial state. `nutaro convert` and the converter's own tests
// drive the handlers through it.

#include <algorithm>
#include <string>

#include "converter/konvert_view.h"

namespace converter {

class MemoryKonvertView : public KonvertView {
 public:
  std::string Text(StaticText control) const override;
  void SetText(StaticText control, const std::string& text) override;
  bool Checked(CheckBox control) const override;
  void SetChecked(CheckBox control, bool checked) override;
  bool Enabled(Control control) const override;
  void SetEnabled(Control control, bool enabled) override;
  void SetProgressMaximum(int maximum) override;
  void SetProgressPosition(int position) override;
  void StepProgress() override;
  void SetProgressCaption(const std::string& caption) override;
  const void* Owner() const override { return nullptr; }

  int ProgressPosition() const { return progressPosition_; }
  int ProgressMaximum() const { return progressMaximum_; }
  const std::string& ProgressCaption() const { return progressCaption_; }

 private:
  std::string lblQuelle_;
  std::string lblv_ = "---";
  std::string lblAnzahl1_ = "0000";
  std::string lblZiel_;
  std::string lblv2_ = "---";
  std::string lblAnzahl2_ = "0000";
  bool cbRubrik_ = true;
  bool cbUeber_ = false;
  bool cbUeberEnabled_ = false;
  bool label7Enabled_ = false;
  int progressMaximum_ = 100;
  int progressPosition_ = 0;
  std::string progressCaption_ = "0";
};

}  // namespace converter
