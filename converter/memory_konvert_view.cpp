#include "converter/memory_konvert_view.h"

namespace converter {

std::string MemoryKonvertView::Text(StaticText control) const {
  switch (control) {
    case StaticText::LblQuelle: return lblQuelle_;
    case StaticText::lblv: return lblv_;
    case StaticText::LblAnzahl1: return lblAnzahl1_;
    case StaticText::LblZiel: return lblZiel_;
    case StaticText::lblv2: return lblv2_;
    case StaticText::LblAnzahl2: return lblAnzahl2_;
  }
  return {};
}

void MemoryKonvertView::SetText(StaticText control, const std::string& text) {
  switch (control) {
    case StaticText::LblQuelle: lblQuelle_ = text; break;
    case StaticText::lblv: lblv_ = text; break;
    case StaticText::LblAnzahl1: lblAnzahl1_ = text; break;
    case StaticText::LblZiel: lblZiel_ = text; break;
    case StaticText::lblv2: lblv2_ = text; break;
    case StaticText::LblAnzahl2: lblAnzahl2_ = text; break;
  }
}

bool MemoryKonvertView::Checked(CheckBox control) const {
  return control == CheckBox::CBRubrik ? cbRubrik_ : cbUeber_;
}

void MemoryKonvertView::SetChecked(CheckBox control, bool checked) {
  (control == CheckBox::CBRubrik ? cbRubrik_ : cbUeber_) = checked;
}

bool MemoryKonvertView::Enabled(Control control) const {
  return control == Control::CBUeber ? cbUeberEnabled_ : label7Enabled_;
}

void MemoryKonvertView::SetEnabled(Control control, bool enabled) {
  (control == Control::CBUeber ? cbUeberEnabled_ : label7Enabled_) = enabled;
}

void MemoryKonvertView::SetProgressMaximum(int maximum) {
  progressMaximum_ = std::max(maximum, 0);
  progressPosition_ = std::min(progressPosition_, progressMaximum_);
}

void MemoryKonvertView::SetProgressPosition(int position) {
  progressPosition_ = std::clamp(position, 0, progressMaximum_);
}

void MemoryKonvertView::StepProgress() {
  if (progressPosition_ < progressMaximum_) ++progressPosition_;
}

void MemoryKonvertView::SetProgressCaption(const std::string& caption) { progressCaption_ = caption; }

}  // namespace converter
