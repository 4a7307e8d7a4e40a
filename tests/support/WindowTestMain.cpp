// The main of the window test program: an offscreen QApplication, the per-user folders of this
// run kept apart from the user's own, the Russian interface whatever the desktop's language,
// then the GoogleTest cases.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("TARVELO_SOURCE_DIR"))
    qputenv("TARVELO_SOURCE_DIR", TARVELO_CHECKOUT_DIR);
  // The cases compare the Russian texts; the English ones are tested with this set to "en".
  qputenv("TARVELO_LANGUAGE", "ru");
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarvelo");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
