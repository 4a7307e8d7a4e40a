#pragma once
// A window-test fixture for the "&Правка" commands: the program with the demo image loaded
// under Russian settings, and the steps a user takes: pick a cell, drag or extend a block,
// run a command by its action's object name and answer its value dialog.
#include <QAction>
#include <QFile>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>

#include "calibration/Calibration.h"
#include "image/DemoImage.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/editors/EditCommands.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/StringGrid.h"

class EditTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    QLocale::setDefault(QLocale(QLocale::Russian));
    Start(true);
    const std::vector<uint8_t> image = MakeDemoImage();
    QFile file(TempPath("demo.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size()));
    file.close();
    AnswerFileDialog(TempPath("demo.bin"));
    MainAction("BIN1")->trigger();
    maps = MapWidgets();
    doc = &maps->Doc();
    ASSERT_TRUE(doc->Loaded());
  }
  void TearDown() override {
    ProgramTest::TearDown();
    QLocale::setDefault(QLocale::c());
  }

  // Shows the page of a grid, gives the grid the focus and makes a cell current.
  void Select(TStringGrid* grid, int col, int row) {
    for (QWidget* w = grid; w; w = w->parentWidget())
      if (Find<QTabWidget>("PageControl1")->indexOf(w) >= 0)
        Find<QTabWidget>("PageControl1")->setCurrentWidget(w);
    QApplication::setActiveWindow(frmMain);
    grid->setFocus();
    Pump(10);
    grid->SelectCell(col, row);
    Pump(10);
  }
  QPoint CellCentre(TStringGrid* grid, int col, int row) {
    return grid->visualItemRect(grid->item(row, col)).center();
  }
  // Presses the mouse on one cell, drags to another and lets go.
  void Drag(TStringGrid* grid, int fromCol, int fromRow, int toCol, int toRow) {
    QWidget* view = grid->viewport();
    const QPoint from = CellCentre(grid, fromCol, fromRow), to = CellCentre(grid, toCol, toRow);
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    Pump(10);
  }
  void Type(const QString& text) {
    for (QChar ch : text) QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    Pump(5);
  }
  QAction* Action(const char* name) { return frmMain->findChild<QAction*>(name); }
  void Run(const char* name) {
    QAction* action = Action(name);
    ASSERT_NE(action, nullptr) << name;
    MainEdit().UpdateActions();
    ASSERT_TRUE(action->isEnabled()) << name;
    action->trigger();
    Pump(10);
  }
  // Runs a command that asks for a value and types `value` into its dialog.
  void RunWithValue(const char* name, const QString& value) {
    AnswerNextModal([value](QWidget* modal) {
      auto* dialog = qobject_cast<QInputDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->objectName(), "EditValueDialog");
      dialog->setTextValue(value);
      dialog->accept();
    });
    Run(name);
  }
  // Every text of a grid, row by row.
  QStringList Texts(TStringGrid* grid) {
    QStringList texts;
    for (int r = 0; r < grid->RowCount(); ++r)
      for (int c = 0; c < grid->ColCount(); ++c) texts << grid->Cell(c, r);
    return texts;
  }
  // The settings file the save writes now (the save's collect, then the file).
  QByteArray SavedBytes(const QString& name) {
    frmMain->CollectGrids(1);
    MainEfi().SaveSettings(1, TempPath(name));
    QFile file(TempPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  TMapWidgets maps;
  TCalibration* doc = nullptr;
};
