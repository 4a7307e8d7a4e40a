// The run ends with the main window, whatever else is open, and leaves nothing behind in the
// windows the user comes back to: the window loop returns, the other windows close, the port
// settings are written; file dialogs give the keyboard back after a typed name.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/editors/MapEditors.h"
#include "ui/telemetry/LiveLoop.h"
#include "ui/widgets/RecentFiles.h"
#include "ui/widgets/StringGrid.h"
#include "ui/widgets/StripLabels.h"

namespace {
QAction* Act(const char* name) {
  return frmMain->findChild<QAction*>(QLatin1String(name));
}

class ProgramEnd : public ProgramTest {
 protected:
  // Closes the main window once the window loop runs and returns whether the loop ended by
  // itself (a guard ends a loop that would hang, and the test fails).
  bool CloseMainWindowInWindowLoop(int closeAfterMs = 0) {
    bool guardFired = false;
    QTimer::singleShot(closeAfterMs, frmMain, [] { frmMain->close(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
      guardFired = true;
      QCoreApplication::exit(1);
    });
    guard.start(closeAfterMs + 10000);
    QApplication::exec();
    return !guardFired;
  }
  bool AnyOtherWindowVisible() const {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top != frmMain && top->isVisible()) return true;
    return false;
  }
};
}  // namespace

TEST_F(ProgramEnd, ClosingTheMainWindowEndsTheRunWithTheOtherWindowsOpen) {
  Start();
  Act("N12")->trigger();  // the dashboard
  Act("N13")->trigger();  // the telemetry window
  ASSERT_TRUE(AnyOtherWindowVisible());
  EXPECT_TRUE(CloseMainWindowInWindowLoop());
  EXPECT_FALSE(frmMain->isVisible());
  EXPECT_FALSE(AnyOtherWindowVisible());
  Stop();
  EXPECT_TRUE(QFile::exists(fTemp.filePath("config/Tarvelo/CTESTER.INI")));
}

TEST_F(ProgramEnd, ClosingTheMainWindowEndsTheRunWithOnlyTheDashboardOpen) {
  Start();
  Act("N12")->trigger();
  EXPECT_TRUE(CloseMainWindowInWindowLoop());
  EXPECT_FALSE(AnyOtherWindowVisible());
}

TEST_F(ProgramEnd, ClosingTheMainWindowDuringTheLiveLoopEndsTheRun) {
  const QString oldDir = QDir::currentPath();
  QDir::setCurrent(fTemp.path());
  {
    QFile demo(TempPath("demo.dat"));
    ASSERT_TRUE(demo.open(QIODevice::WriteOnly));
    demo.write("0\t850\t1.2\t0.45\t2.1\t12\t8.5\t0\t85\t30\t14.1\t0\r\n");
  }
  Start();
  Act("N15")->setChecked(false);  // no log file, so no dialog
  Act("N12")->trigger();
  QTimer::singleShot(0, frmMain, [] { frmMain->findChild<QToolButton*>("sbWriteLog")->click(); });
  EXPECT_TRUE(CloseMainWindowInWindowLoop(600));
  EXPECT_EQ(MainLive().Mark.LiveLoopActive, 0);
  EXPECT_FALSE(AnyOtherWindowVisible());
  QDir::setCurrent(oldDir);
}

TEST_F(ProgramEnd, AllFilesFilterListsNamesWithoutADot) {
  Start();
  QFile(TempPath("README")).open(QIODevice::WriteOnly);
  QFile(TempPath("engine.bin")).open(QIODevice::WriteOnly);
  bool listed = false;
  AnswerNextModal([&](QWidget* modal) {
    auto* shown = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(shown, nullptr);
    shown->setDirectory(fTemp.path());
    auto* types = shown->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->itemText(1), "Все файлы (*.*)");
    // The user picks the second filter in the list.
    types->setCurrentIndex(1);
    emit types->activated(1);
    emit types->textActivated(types->itemText(1));
    auto* model = shown->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    listed = PumpUntil([&] {
      const QModelIndex root = model->index(fTemp.path());
      for (int row = 0; row < model->rowCount(root); ++row)
        if (model->index(row, 0, root).data().toString() == "README") return true;
      return false;
    });
    shown->reject();
  });
  Act("BIN1")->trigger();
  EXPECT_TRUE(listed);
}

TEST_F(ProgramEnd, TypedFileNameLeavesNoCompletionListAndGivesTheKeyboardBack) {
  Start();
  // Files whose names the completion list offers when the user types their start.
  for (const char* name : {"stage1.bin", "stage2.bin", "stock.bin"}) {
    QFile file(TempPath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  auto* grid = Find<TStringGrid>("sgFuelMain");
  grid->setFocus();
  ASSERT_TRUE(PumpUntil([&] { return grid->hasFocus() || QApplication::focusWidget(); }));
  QWidget* focusBefore = QApplication::focusWidget();
  auto* dialog = Find<QFileDialog>("odOpenFile");
  dialog->setDirectory(fTemp.path());
  AnswerNextModal([&](QWidget* modal) {
    auto* edit = modal->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, "sta");
    // The list comes when the folder has been read (on a desktop by itself as the user
    // types; the offscreen platform needs the completer asked).
    const bool listShown = PumpUntil([&] {
      if (!edit->completer()) return false;
      if (!edit->completer()->popup()->isVisible()) edit->completer()->complete();
      return edit->completer()->popup()->isVisible();
    });
    EXPECT_TRUE(listShown) << "the completion list never opened; the test proves nothing";
    QTest::keyClicks(edit, "ge1.bin");
    Pump(50);
    static_cast<QDialog*>(modal)->reject();
  });
  Act("BIN1")->trigger();
  Pump(50);
  for (QWidget* top : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(top->isVisible() && (top->windowFlags() & Qt::Popup) == Qt::Popup)
        << "a popup stays open: " << top->metaObject()->className();
  }
  EXPECT_EQ(QApplication::focusWidget(), focusBefore);
}

TEST_F(ProgramEnd, QtDialogsSpeakTheUsersLanguage) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  Start();
  QString yes;
  AnswerNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    yes = box->button(QMessageBox::Yes)->text();
    box->button(QMessageBox::No)->click();
  });
  {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Внимание!"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    box.exec();
  }
  Stop();
  QLocale::setDefault(before);
  EXPECT_EQ(yes.remove(QLatin1Char('&')), "Да");
}

TEST_F(ProgramEnd, StatusStripShowsThePortAndALongFileNameWhole) {
  Start();
  auto* port = Find<TFittingLabel>("Label16");
  port->setText(QStringLiteral("COM1 (симулятор)"));
  EXPECT_LE(QFontMetrics(port->ShownFont()).horizontalAdvance(port->text()),
            port->contentsRect().width());

  const QString path = TempPath("E30_325i_M31_stage2_rev5.bin");
  QFile image(path);
  ASSERT_TRUE(image.open(QIODevice::WriteOnly));
  image.write(QByteArray(32768, '\0'));
  image.close();
  AnswerFileDialog(path);
  Act("BIN1")->trigger();
  auto* name = Find<TElidedLabel>("lBinFName");
  EXPECT_EQ(name->text(), "E30_325i_M31_stage2_rev5.bin");
  EXPECT_TRUE(name->ShownText().startsWith("E30_")) << name->ShownText().toStdString();
  EXPECT_TRUE(name->ShownText().endsWith("rev5.bin")) << name->ShownText().toStdString();
  EXPECT_EQ(name->toolTip(), QDir::toNativeSeparators(path));
}

TEST(RecentFileList, NewestFirstOnceAndAtMostTheLimit) {
  QStringList list;
  for (const char* name : {"a", "b", "c", "d", "e", "f"}) list = WithRecentFile(list, name, 5);
  EXPECT_EQ(list, QStringList({"f", "e", "d", "c", "b"}));
  EXPECT_EQ(WithRecentFile(list, "d", 5), QStringList({"d", "f", "e", "c", "b"}));
}

TEST_F(ProgramEnd, RecentFilesReopenInOneClickAndAMissingOneIsDropped) {
  Start();
  const QString first = TempPath("first.bin"), second = TempPath("second.bin");
  for (const QString& path : {first, second}) {
    QFile image(path);
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write(QByteArray(32768, '\x40'));
    image.close();
    AnswerFileDialog(path);
    Act("BIN1")->trigger();
  }
  QAction* newest = Act("actRecent1");
  QAction* older = Act("actRecent2");
  ASSERT_TRUE(newest && older);
  EXPECT_TRUE(newest->isVisible() && newest->isEnabled());
  EXPECT_EQ(newest->text(), "&1 second.bin");
  EXPECT_FALSE(Act("actRecent3")->isVisible());

  older->trigger();  // first.bin again, without a dialog
  EXPECT_EQ(Find<QLabel>("lBinFName")->text(), "first.bin");
  EXPECT_EQ(Act("actRecent1")->text(), "&1 first.bin");

  // The next dialog for images opens in the folder of the last image.
  EXPECT_EQ(QDir(Find<QFileDialog>("odOpenFile")->directory()).absolutePath(),
            QDir(fTemp.path()).absolutePath());

  QFile::remove(second);
  QString text;
  AnswerMessageBox(QMessageBox::Ok, &text);
  Act("actRecent2")->trigger();
  EXPECT_TRUE(text.contains("second.bin")) << text.toStdString();
  EXPECT_FALSE(Act("actRecent2")->isVisible());
  EXPECT_EQ(Find<QLabel>("lBinFName")->text(), "first.bin");
}
