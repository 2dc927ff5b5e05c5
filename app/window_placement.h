#pragma once

class QShowEvent;
class QWidget;

namespace app {

// Moves `window` so that it stands in the middle of the screen it is on
// (the available area, without panels), as the forms were designed to open
// centred on the desktop. Windows call it from their show event; when the
// window system shows a window again (after minimising) it stays where the
// user may have moved it.
void CentreOnScreen(QWidget& window, const QShowEvent& event);

// Gives every plain label among `form`'s children the size of its text, as
// the form's labels size themselves to their caption.
void FitLabelsToText(QWidget& form);

}  // namespace app
