#pragma once

namespace app {

// Makes the pictures of the windows available under ":/pictures/". They are
// compiled into this static library, where nothing else would pull them into
// the program; every window that shows one calls this before building its
// form. Calling it again does nothing.
void LoadPictures();

}  // namespace app
