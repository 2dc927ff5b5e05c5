#include "app/start_up.h"

#include <QApplication>
#include <QIcon>
#include <gtest/gtest.h>

namespace app {
namespace {

TEST(StartUp, GivesTheApplicationItsTitleAndAnIconInBothSizes) {
  InitialiseApplication(*qApp);
  EXPECT_EQ(QApplication::applicationName(), "Nutaro - Konverter 2.60");
  const QIcon icon = QApplication::windowIcon();
  for (int size : {16, 32}) {
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    EXPECT_FALSE(icon.pixmap(size).isNull()) << size;
  }
}

}  // namespace
}  // namespace app
