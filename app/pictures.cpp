#include "app/pictures.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the generated initialiser where it is used, so
// it must be used outside any namespace.
static void InitialisePicturesResource() { Q_INIT_RESOURCE(pictures); }

namespace app {

void LoadPictures() {
  static const bool loaded = (InitialisePicturesResource(), true);
  (void)loaded;
}

}  // namespace app
