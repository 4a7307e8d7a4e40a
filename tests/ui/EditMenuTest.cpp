// The "&Правка" menu driven as a user drives it: blocks selected with the mouse and the
// keys, each command run by its action's object name, the grids' texts afterwards, undo and
// redo of each, the clipboard under Russian and English settings, and CSV out and back in.
// The value dialogs are QInputDialogs named "EditValueDialog"; the CSV file dialogs are
// "sdExportCsv" and "odImportCsv".
#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QSpinBox>
#include <QTimer>

#include "EditTestSupport.h"
#include "common/DecimalText.h"
#include "support/MainWindowParts.h"
#include "ui/editors/ColorLegend.h"
#include "ui/widgets/RadioGroup.h"

namespace {
using EditMenuTest = EditTest;

// The number a grid cell shows.
double At(TStringGrid* grid, int col, int row) {
  return StrToFloat(grid->Cell(col, row));
}
}  // namespace

TEST_F(EditMenuTest, TheMenuStandsAfterFileWithItsCaptionsAndShortcuts) {
  const QList<QAction*> menus = frmMain->menuBar()->actions();
  ASSERT_GE(menus.size(), 2);
  EXPECT_EQ(menus[0]->objectName(), "N1");
  EXPECT_EQ(menus[1]->objectName(), "mnuEdit");
  EXPECT_EQ(menus[1]->text(), "&Правка");
  const struct {
    const char* name;
    const char* caption;
    QKeySequence keys;
  } items[] = {
      {"actUndo", "&Отменить", QKeySequence("Ctrl+Z")},
      {"actRedo", "&Повторить", QKeySequence("Ctrl+Y")},
      {"actCopy", "&Копировать", QKeySequence("Ctrl+C")},
      {"actPaste", "&Вставить", QKeySequence("Ctrl+V")},
      {"actSetValue", "Задать значение...", QKeySequence(Qt::Key_Equal)},
      {"actAddValue", "Прибавить...", QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)},
      {"actScaleValue", "Умножить на %...", QKeySequence(Qt::KeypadModifier | Qt::Key_Asterisk)},
      {"actStepUp", "Шаг вверх", QKeySequence("Ctrl+Up")},
      {"actStepDown", "Шаг вниз", QKeySequence("Ctrl+Down")},
      {"actInterpolateH", "Интерполировать по горизонтали", {}},
      {"actInterpolateV", "Интерполировать по вертикали", {}},
      {"actInterpolate2D", "Интерполировать по площади", {}},
      {"actSmooth", "Сгладить", {}},
      {"actExportCsv", "Экспорт таблицы в CSV...", {}},
      {"actImportCsv", "Импорт таблицы из CSV...", {}},
  };
  for (const auto& item : items) {
    QAction* action = Action(item.name);
    ASSERT_NE(action, nullptr) << item.name;
    EXPECT_EQ(action->text(), QString::fromUtf8(item.caption)) << item.name;
    EXPECT_EQ(action->shortcut(), item.keys) << item.name;
    EXPECT_TRUE(Find<QMenu>("mnuEdit")->actions().contains(action)) << item.name;
  }
  EXPECT_TRUE(Action("actRedo")->shortcuts().contains(QKeySequence("Ctrl+Shift+Z")));
}

TEST_F(EditMenuTest, CommandsNeedATableGridOnTheCurrentPage) {
  // Nothing edited yet: no undo; no table grid has had the focus.
  MainEdit().UpdateActions();
  EXPECT_FALSE(Action("actUndo")->isEnabled());
  EXPECT_FALSE(Action("actSetValue")->isEnabled());
  Select(maps->sgFuelMain, 3, 3);
  EXPECT_TRUE(Action("actSetValue")->isEnabled());
  EXPECT_TRUE(Action("actImportCsv")->isEnabled());
  // The settings page has no table; back on the fuel page the grid that had the focus counts.
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet3"));
  EXPECT_FALSE(Action("actSetValue")->isEnabled());
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet1"));
  EXPECT_TRUE(Action("actSetValue")->isEnabled());
  // The idle page: the grid last in the focus there.
  Select(maps->sgrdIgnXX, 2, 1);
  EXPECT_EQ(MainEdit().CurrentGrid(), maps->sgrdIgnXX);
  Select(maps->sgrdFuelXX, 2, 2);
  EXPECT_EQ(MainEdit().CurrentGrid(), maps->sgrdFuelXX);
}

TEST_F(EditMenuTest, BlocksAreSelectedByDragShiftArrowsAndCtrlAWithoutFixedCells) {
  TStringGrid* grid = maps->sgFuelMain;
  Select(grid, 2, 3);
  EXPECT_EQ(grid->SelectedBlock(), QRect(2, 3, 1, 1));
  Drag(grid, 2, 3, 5, 6);
  EXPECT_EQ(grid->SelectedBlock(), QRect(QPoint(2, 3), QPoint(5, 6)));
  // A header under the mouse is never selected.
  Select(grid, 3, 3);
  Drag(grid, 3, 3, 0, 0);
  EXPECT_EQ(grid->SelectedBlock(), QRect(3, 3, 1, 1));
  EXPECT_FALSE(grid->item(0, 0)->isSelected());
  Select(grid, 4, 4);
  QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(grid->SelectedBlock(), QRect(QPoint(4, 4), QPoint(6, 5)));
  // Moving the current cell checks the cell left: nothing typed, nothing recorded.
  EXPECT_FALSE(doc->CanUndo());
  QTest::keySequence(grid, QKeySequence::SelectAll);
  EXPECT_EQ(grid->SelectedBlock(),
            QRect(QPoint(1, 1), QPoint(grid->ColCount() - 1, grid->RowCount() - 1)));
  EXPECT_FALSE(grid->item(0, 0)->isSelected());
  // The keys of the menu reach it from the grid.
  const QStringList before = Texts(grid);
  Select(grid, 2, 2);
  QTest::keySequence(grid, QKeySequence("Ctrl+Up"));
  Pump(10);
  EXPECT_NE(Texts(grid), before);
  QTest::keySequence(grid, QKeySequence("Ctrl+Z"));
  Pump(10);
  EXPECT_EQ(Texts(grid), before);
}

TEST_F(EditMenuTest, SetValueShowsStorableValuesAndCountsTheLimitedCells) {
  TStringGrid* grid = maps->sgFuelMain;
  const QStringList original = Texts(grid);
  Select(grid, 2, 2);
  Drag(grid, 2, 2, 4, 4);
  RunWithValue("actSetValue", "1,0837");
  const TCellRule rule = doc->Table(TTableId::FuelMain).Rule(3, 3);
  const QString shown = rule.Show(rule.Quantise(1.0837));
  for (int r = 2; r <= 4; ++r)
    for (int c = 2; c <= 4; ++c) EXPECT_EQ(grid->Cell(c, r), shown) << c << "," << r;
  // Outside the block nothing changed.
  EXPECT_EQ(grid->Cell(5, 2), original[2 * grid->ColCount() + 5]);
  EXPECT_EQ(Find<QLabel>("lEditResult")->text(), "");
  RunWithValue("actSetValue", "2");
  EXPECT_EQ(grid->Cell(3, 3), "1,5");
  EXPECT_EQ(Find<QLabel>("lEditResult")->text(), "Ограничено ячеек: 9");
  // The colour scale follows: its top is the limit now.
  EXPECT_EQ(maps->FuelLegend->HighText(), "1,5");
  Run("actUndo");
  EXPECT_EQ(grid->Cell(3, 3), shown);
  Run("actUndo");
  EXPECT_EQ(Texts(grid), original);
  EXPECT_FALSE(Action("actUndo")->isEnabled());
  Run("actRedo");
  Run("actRedo");
  EXPECT_EQ(grid->Cell(4, 4), "1,5");
  // A text that is not a number: one error box, nothing changed.
  const QStringList now = Texts(grid);
  QString error;
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QInputDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->setTextValue(QStringLiteral("abc"));
    AnswerMessageBox(QMessageBox::Ok, &error);
    static_cast<QDialog*>(dialog)->accept();
  });
  Run("actSetValue");
  Pump(50);
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(Texts(grid), now);
}

TEST_F(EditMenuTest, EveryOperationIsOneStepThatUndoAndRedoTakeWhole) {
  TStringGrid* grid = maps->sgIgnMain;
  Select(grid, 3, 3);
  Drag(grid, 3, 3, 8, 7);
  // Uneven values first, so that each operation changes something.
  RunWithValue("actSetValue", "20");
  Select(grid, 3, 3);
  Type("10");
  Select(grid, 8, 7);
  Type("40");
  Select(grid, 8, 3);
  Drag(grid, 8, 3, 3, 7);
  const struct {
    const char* action;
    const char* value;
  } steps[] = {{"actAddValue", "2,5"},       {"actScaleValue", "110"},
               {"actStepUp", nullptr},       {"actStepDown", nullptr},
               {"actSmooth", nullptr},       {"actInterpolateH", nullptr},
               {"actInterpolateV", nullptr}, {"actInterpolate2D", nullptr}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.action);
    const QStringList before = Texts(grid);
    if (step.value)
      RunWithValue(step.action, step.value);
    else
      Run(step.action);
    const QStringList after = Texts(grid);
    EXPECT_NE(after, before);
    // Only the block's cells change.
    for (int r = 0; r < grid->RowCount(); ++r)
      for (int c = 0; c < grid->ColCount(); ++c)
        if (c < 3 || c > 8 || r < 3 || r > 7) {
          EXPECT_EQ(after[r * grid->ColCount() + c], before[r * grid->ColCount() + c]);
        }
    Run("actUndo");
    EXPECT_EQ(Texts(grid), before);
    Run("actRedo");
    EXPECT_EQ(Texts(grid), after);
  }
  // After the 2D interpolation the block runs evenly between its corners along each edge,
  // weighted by the rpm axis: the top edge lies between its corners, in order.
  for (int c = 4; c < 8; ++c) {
    EXPECT_LE(At(grid, c - 1, 3), At(grid, c, 3) + 0.1);
    EXPECT_GE(At(grid, 8, 3) + 0.1, At(grid, c, 3));
  }
}

TEST_F(EditMenuTest, TypedValueIsOneStepAndSettingsAreUndoable) {
  TStringGrid* grid = maps->sgFuelMain;
  const QString before = grid->Cell(5, 5);
  Select(grid, 5, 5);
  Type("1,23");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  Pump(10);
  EXPECT_EQ(grid->Cell(5, 5), "1,23");
  EXPECT_TRUE(Find<QLabel>("lModified")->isVisibleTo(frmMain));
  Run("actUndo");
  EXPECT_EQ(grid->Cell(5, 5), before);
  // Back where it was loaded: no mark.
  EXPECT_FALSE(Find<QLabel>("lModified")->isVisibleTo(frmMain));
  Run("actRedo");
  EXPECT_EQ(grid->Cell(5, 5), "1,23");
  // Spinning the rev limit is one step; the lambda type another.
  const int rpm = maps->seMaxRMP->value();
  maps->seMaxRMP->setValue(rpm + 65);
  maps->seMaxRMP->setValue(rpm + 130);
  maps->seMaxRMP->setValue(rpm + 195);
  const int type = maps->rgO2Type->ItemIndex();
  maps->rgO2Type->Click(1 - type);
  maps->seLamMax->setValue(1.3);
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet3"));
  Run("actUndo");
  EXPECT_DOUBLE_EQ(maps->seLamMax->value(), 1.0);
  Run("actUndo");
  EXPECT_EQ(maps->rgO2Type->ItemIndex(), type);
  Run("actUndo");
  EXPECT_EQ(maps->seMaxRMP->value(), rpm);
  Run("actUndo");
  EXPECT_EQ(grid->Cell(5, 5), before);
  EXPECT_FALSE(doc->CanUndo());
  Run("actRedo");
  Run("actRedo");
  EXPECT_EQ(maps->seMaxRMP->value(), rpm + 195);
}

TEST_F(EditMenuTest, ClipboardSpeaksTheUsersDecimalSeparator) {
  TStringGrid* grid = maps->sgFuelMain;
  Select(grid, 2, 2);
  Drag(grid, 2, 2, 3, 3);
  Run("actCopy");
  const QString copied = QApplication::clipboard()->text();
  EXPECT_EQ(copied.split('\n', Qt::SkipEmptyParts).size(), 2);
  EXPECT_TRUE(copied.contains('\t'));
  EXPECT_TRUE(copied.contains(grid->Cell(3, 2))) << copied.toStdString();
  // Russian: comma decimals, tabs between fields.
  QApplication::clipboard()->setText(QStringLiteral("1,1\t1,2\n1,3\t1,4\n"));
  Select(grid, 6, 6);
  Run("actPaste");
  EXPECT_EQ(grid->Cell(6, 6), "1,1");
  EXPECT_EQ(grid->Cell(7, 6), "1,2");
  EXPECT_EQ(grid->Cell(6, 7), "1,3");
  EXPECT_EQ(grid->Cell(7, 7), "1,4");
  EXPECT_EQ(grid->SelectedBlock(), QRect(QPoint(6, 6), QPoint(7, 7)));
  // Semicolons, as a spreadsheet's CSV has them.
  QApplication::clipboard()->setText(QStringLiteral("1,05;1,06\r\n"));
  Select(grid, 12, 2);
  Run("actPaste");
  EXPECT_EQ(grid->Cell(12, 2), "1,05");
  EXPECT_EQ(grid->Cell(13, 2), "1,06");
  // Copy and paste back elsewhere gives the same values.
  Select(grid, 2, 2);
  Drag(grid, 2, 2, 3, 3);
  Run("actCopy");
  Select(grid, 10, 8);
  Run("actPaste");
  EXPECT_EQ(grid->Cell(10, 8), grid->Cell(2, 2));
  EXPECT_EQ(grid->Cell(11, 9), grid->Cell(3, 3));
  // English: full stops.
  QLocale::setDefault(QLocale(QLocale::English));
  frmMain->FillGrids(true);
  QApplication::clipboard()->setText(QStringLiteral("1.25\t0.95\n"));
  Select(grid, 4, 9);
  Run("actPaste");
  EXPECT_EQ(grid->Cell(4, 9), "1.25");
  EXPECT_EQ(grid->Cell(5, 9), "0.95");
  Run("actCopy");
  EXPECT_TRUE(QApplication::clipboard()->text().startsWith("1.25\t0.95"));
}

TEST_F(EditMenuTest, PasteThatDoesNotFitSaysWhereAndChangesNothing) {
  TStringGrid* grid = maps->sgFuelMain;
  const QStringList before = Texts(grid);
  const QString cases[] = {QStringLiteral("1,1\tx\n"), QStringLiteral("1,1\t1,2\t1,3\t1,4\n")};
  for (const QString& text : cases) {
    QApplication::clipboard()->setText(text);
    Select(grid, grid->ColCount() - 2, 3);
    QString error;
    AnswerMessageBox(QMessageBox::Ok, &error);
    Run("actPaste");
    Pump(50);
    EXPECT_FALSE(error.isEmpty()) << text.toStdString();
    EXPECT_EQ(Texts(grid), before);
  }
  EXPECT_FALSE(doc->CanUndo());
}

TEST_F(EditMenuTest, CsvExportThenImportIsAnIdentityAndOneStep) {
  TStringGrid* grid = maps->sgIgnMain;
  const QStringList loaded = Texts(grid);
  Select(grid, 1, 1);
  const QString path = TempPath("ign.csv");
  AnswerFileDialog(path);
  Run("actExportCsv");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString csv = QString::fromUtf8(file.readAll());
  file.close();
  // Russian decimals: fields separated by ";".
  EXPECT_TRUE(csv.contains(';'));
  // Change the values, then import the file back.
  QTest::keySequence(grid, QKeySequence::SelectAll);
  RunWithValue("actAddValue", "3");
  ASSERT_NE(Texts(grid), loaded);
  // The import's dialog opens in the folder of the export.
  QString folder;
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "odImportCsv");
    folder = dialog->directory().absolutePath();
    SelectInFileDialog(dialog, path);
    static_cast<QDialog*>(dialog)->accept();
  });
  Run("actImportCsv");
  EXPECT_EQ(folder, QDir(fTemp.path()).absolutePath());
  EXPECT_EQ(Texts(grid), loaded);
  Run("actUndo");
  EXPECT_NE(Texts(grid), loaded);
  Run("actUndo");
  EXPECT_EQ(Texts(grid), loaded);
  // A file of another shape: one error box, nothing changed.
  QFile bad(TempPath("bad.csv"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("1;2;3\n4;5;6\n");
  bad.close();
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    SelectInFileDialog(dialog, TempPath("bad.csv"));
    AnswerMessageBox(QMessageBox::Ok);
    static_cast<QDialog*>(dialog)->accept();
  });
  Run("actImportCsv");
  Pump(50);
  EXPECT_EQ(Texts(grid), loaded);
}
