// The main of window tests: one QApplication for the whole run, then the tests. Windows are shown on the offscreen
// platform unless QT_QPA_PLATFORM asks for another (test discovery runs this too, with or without a display).

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
