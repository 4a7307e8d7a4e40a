// The main of the core test programs: a QCoreApplication (the core libraries use QtCore's
// threads, timers and locale, never a window), the per-user folders of this run kept apart
// from the user's own, then the GoogleTest cases.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("TARVELO_SOURCE_DIR"))
    qputenv("TARVELO_SOURCE_DIR", TARVELO_CHECKOUT_DIR);
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("Tarvelo");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
