#pragma once

class QWidget;

namespace app {

// Moves `window` so that it stands in the middle of the screen it is on
// (the available area, without panels). Windows call it whenever they are
// shown, as the forms were designed to open centred on the desktop.
void CentreOnScreen(QWidget& window);

// Gives every plain label among `form`'s children the size of its text, as
// the form's labels size themselves to their caption.
void FitLabelsToText(QWidget& form);

}  // namespace app
