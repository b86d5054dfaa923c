// Runs GUI tests on Qt's offscreen platform at scale factor 1, with the program's fonts, on one
// screen of 1920 x 1080 pixels: the window opens at its own size, and can be maximised to a
// projector's.
#include <QApplication>

#include <gtest/gtest.h>

#include "forms/qt/fonts.h"

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KEPLER_OFFSCREEN_SCREEN);
  qputenv("QT_SCALE_FACTOR", "1");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  testing::InitGoogleTest(&argc, argv);
  forms::qt::PinFontSubstitutions();
  QApplication app(argc, argv);
  forms::qt::RegisterEmbeddedFonts();
  QApplication::setStyle(QStringLiteral("Fusion"));
  return RUN_ALL_TESTS();
}
