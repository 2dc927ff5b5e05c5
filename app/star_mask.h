#pragma once

class QLineEdit;

namespace app {

// Makes `edit` a password line that shows one "*" per character, whatever
// masking character the style would choose.
void MaskWithStars(QLineEdit& edit);

}  // namespace app
