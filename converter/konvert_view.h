#pragma once

// The controls of the main window that the selection and conversion
// handlers read and set, as an interface: the window implements it with its
// widgets, `nutaro convert` with a terminal, and tests with plain values
// (MemoryKonvertView). The handlers never see a widget.

#include <string>

namespace converter {

// The sunken static texts of the source and target rows.
enum class StaticText { LblQuelle, lblv, LblAnzahl1, LblZiel, lblv2, LblAnzahl2 };

// The check boxes.
enum class CheckBox { CBRubrik, CBUeber };

// The controls whose enabled state the handlers change: the append
// permission and its duplicate warning.
enum class Control { CBUeber, Label7 };

class KonvertView {
 public:
  virtual ~KonvertView() = default;

  virtual std::string Text(StaticText control) const = 0;
  virtual void SetText(StaticText control, const std::string& text) = 0;

  virtual bool Checked(CheckBox control) const = 0;
  virtual void SetChecked(CheckBox control, bool checked) = 0;

  virtual bool Enabled(Control control) const = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;

  // The progress bar "Fortschritt2" (minimum 0, step 1). The position always
  // stays within 0..maximum.
  virtual void SetProgressMaximum(int maximum) = 0;
  virtual void SetProgressPosition(int position) = 0;
  // Advances the position by the step, never beyond the maximum.
  virtual void StepProgress() = 0;
  virtual void SetProgressCaption(const std::string& caption) = 0;

  // The main window as the owner of the boxes that need one (the "Error"
  // box); nullptr where there is no window.
  virtual const void* Owner() const = 0;
};

}  // namespace converter
