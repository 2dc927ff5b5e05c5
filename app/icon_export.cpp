// nutaro-icon-export FOLDER NAME SIZE...: writes the program's icon as
// FOLDER/<SIZE>x<SIZE>/apps/NAME.png for each SIZE, the layout of an icon
// theme, so that the application menu and file managers show the same apple
// as the window. Run at build time; the pictures are the window's own.
//
// The icon exists as pixel art at 16 and 32 pixels. Larger sizes repeat
// each pixel (nearest neighbour, to a whole multiple at or above the size)
// and are then scaled down smoothly to the size, so that the drawing keeps
// its crisp edges instead of being blurred by a smooth enlargement; smaller
// sizes are scaled down smoothly from the 32-pixel picture.

#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>

#include "app/pictures.h"

namespace {

constexpr int kLargePicture = 32;

QImage IconAt(int size) {
  if (size == 16) return QImage(":/pictures/konverter_icon_16.xpm").convertToFormat(QImage::Format_ARGB32);
  // Premultiplied, so that smooth scaling does not darken the transparent
  // edge.
  const QImage picture =
      QImage(":/pictures/konverter_icon_32.xpm").convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int multiple = (size + kLargePicture - 1) / kLargePicture;
  const QImage enlarged = picture.scaled(kLargePicture * multiple, kLargePicture * multiple, Qt::IgnoreAspectRatio,
                                         Qt::FastTransformation);
  const QImage sized =
      enlarged.width() == size ? enlarged
                               : enlarged.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return sized.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: nutaro-icon-export FOLDER NAME SIZE...\n");
    return 2;
  }
  app::LoadPictures();
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const QString name = QString::fromLocal8Bit(argv[2]);
  for (int i = 3; i < argc; ++i) {
    const int size = QString::fromLocal8Bit(argv[i]).toInt();
    const QString subfolder = QString("%1x%1/apps").arg(size);
    const QString file = folder.filePath(subfolder + "/" + name + ".png");
    if (size <= 0 || !folder.mkpath(subfolder) || !IconAt(size).save(file, "PNG")) {
      std::fprintf(stderr, "nutaro-icon-export: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
