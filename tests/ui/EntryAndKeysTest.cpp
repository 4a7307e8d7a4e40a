// Typing into the map grids after a block operation, the "&Правка" menu's keys on a grid and
// in its open cell editor (as X delivers them, not only as synthetic shortcuts), the strip's
// count of held cells, the value dialog and how a selected block shows over the colours.
#include <QKeyEvent>
#include <QLabel>
#include <QSpinBox>

#include "EditTestSupport.h"
#include "ui/widgets/StatusStrip.h"

namespace {
class EntryAndKeysTest : public EditTest {
 protected:
  // A key as X delivers it once the window's shortcuts did not take it: straight to the
  // widget with the focus (a keypad key carries the keypad modifier).
  static void XKey(Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
  }
  // Answers the next value dialog with `value`, noting its title and width.
  void AnswerValue(const QString& value, QString* title = nullptr, int* width = nullptr) {
    AnswerNextModal([=](QWidget* modal) {
      auto* dialog = qobject_cast<QInputDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      if (title) *title = dialog->windowTitle();
      if (width) *width = dialog->width();
      dialog->setTextValue(value);
      dialog->accept();
    });
  }
  bool AnyCellHolds(TStringGrid* grid, QChar ch) {
    for (const QString& text : Texts(grid))
      if (text.contains(ch)) return true;
    return false;
  }
};
}  // namespace

// After "Задать значение" on a block, "abc" typed into its current cell and left gives the
// block's value back and records nothing (the value remembered when the cell became current
// was the one from before the operation).
TEST_F(EntryAndKeysTest, RefusedEntryAfterABlockOperationKeepsTheCurrentValue) {
  TStringGrid* grid = maps->sgFuelMain;
  Select(grid, 3, 3);
  Drag(grid, 3, 3, 5, 5);
  RunWithValue("actSetValue", "1,05");
  const QString set = grid->Cell(3, 3);
  ASSERT_NE(set, "");
  const QString title = doc->UndoTitle();
  // Back in the grid after the dialog; the block's first cell is still current.
  QApplication::setActiveWindow(frmMain);
  grid->setFocus();
  Pump(10);
  Type("abc");
  maps->seMaxRMP->setFocus();
  Pump(10);
  EXPECT_EQ(grid->Cell(3, 3), set);
  EXPECT_EQ(doc->Table(TTableId::FuelMain).Text(3, 3), set);
  EXPECT_EQ(doc->UndoTitle(), title);
  // One undo takes the block operation back whole.
  Run("actUndo");
  EXPECT_FALSE(doc->CanUndo());
}

// Num+ and Num* on a selected block open "Прибавить" and "Умножить на %" as the menu shows,
// both when X hands the key to the grid (its shortcut does not match the keypad) and when a
// cell editor is open; no "+" or "*" is typed into a cell.
TEST_F(EntryAndKeysTest, KeypadPlusAndTimesOnABlockAddAndScaleInsteadOfTyping) {
  TStringGrid* grid = maps->sgFuelMain;
  Select(grid, 2, 2);
  Drag(grid, 2, 2, 4, 3);
  const QStringList before = Texts(grid);
  QString title;
  AnswerValue("0,1", &title);
  XKey(Qt::Key_Plus, Qt::KeypadModifier, "+");
  Pump(100);
  EXPECT_EQ(title, "Прибавить");
  EXPECT_FALSE(AnyCellHolds(grid, '+'));
  EXPECT_EQ(doc->UndoTitle(), "Прибавить");
  EXPECT_NE(Texts(grid), before);

  // With a cell editor open (a digit typed), the key ends the entry and scales the block.
  Select(grid, 6, 6);
  Drag(grid, 6, 6, 7, 7);
  Type("1");
  title.clear();
  AnswerValue("110", &title);
  XKey(Qt::Key_Asterisk, Qt::KeypadModifier, "*");
  Pump(100);
  EXPECT_EQ(title, "Умножить на %");
  EXPECT_FALSE(AnyCellHolds(grid, '*'));

  // Ctrl+Z in an open cell editor takes back the entry as the calibration's last step (the
  // editor would keep the key for its own text).
  ASSERT_EQ(doc->UndoTitle(), "Умножить на %");
  const QString kept = grid->Cell(9, 9);
  Select(grid, 9, 9);
  Type("1,2");
  XKey(Qt::Key_Z, Qt::ControlModifier, QString());
  Pump(50);
  EXPECT_EQ(grid->Cell(9, 9), kept);
  EXPECT_EQ(doc->UndoTitle(), "Умножить на %");
  EXPECT_EQ(doc->RedoTitle(), "Ввод значения");
}

// "Ограничено ячеек: N" belongs to the operation whose limits held the cells: the next
// typed value takes it away.
TEST_F(EntryAndKeysTest, HeldCellsCountGoesWithTheNextUnrelatedEdit) {
  TStringGrid* grid = maps->sgFuelMain;
  auto* result = Find<QLabel>("lEditResult");
  Select(grid, 2, 2);
  Drag(grid, 2, 2, 3, 3);
  RunWithValue("actSetValue", "2");
  ASSERT_EQ(result->text(), "Ограничено ячеек: 4");
  Select(grid, 8, 8);
  Type("1,1");
  maps->seMaxRMP->setFocus();
  Pump(10);
  ASSERT_EQ(doc->UndoTitle(), "Ввод значения");
  EXPECT_EQ(result->text(), "");
}

// The dialog is wide enough for its title: a window manager cuts a title wider than the
// window ("Задать зна...").
TEST_F(EntryAndKeysTest, ValueDialogIsWideEnoughForItsTitle) {
  Select(maps->sgFuelMain, 3, 3);
  QString title;
  int width = 0;
  AnswerValue("1", &title, &width);
  Run("actSetValue");
  ASSERT_EQ(title, "Задать значение");
  QFont bold = QApplication::font();
  bold.setBold(true);
  EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(title) + 100);
}

// A selected block keeps the heat colour of its cells (a light veil and an outline), instead
// of dark blue text on blue.
TEST_F(EntryAndKeysTest, SelectedCellsKeepTheirHeatColour) {
  TStringGrid* grid = maps->sgFuelMain;
  Select(grid, 3, 3);
  auto pixel = [grid](int col, int row) {
    const QRect rect = grid->visualRect(grid->model()->index(row, col));
    return grid->viewport()->grab().toImage().pixelColor(rect.right() - 5, rect.bottom() - 4);
  };
  grid->clearSelection();
  Pump(10);
  const QColor plain = pixel(5, 5);
  Drag(grid, 4, 4, 6, 6);
  Pump(10);
  const QColor selected = pixel(5, 5);
  EXPECT_NE(selected, plain);
  EXPECT_LE(std::abs(selected.red() - plain.red()), 50);
  EXPECT_LE(std::abs(selected.green() - plain.green()), 50);
  EXPECT_LE(std::abs(selected.blue() - plain.blue()), 50);
}
