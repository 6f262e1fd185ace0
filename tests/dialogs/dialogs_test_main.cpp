// The dialog tests drive real windows on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/Drawing.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  braxo::RegisterEmbeddedFonts();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
