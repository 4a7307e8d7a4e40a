// The calibration's history against the settings file: taking every edit back gives the
// bytes saved before them, and a load or the exit asks before it would lose edits (and
// only then).
#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>

#include "EditTestSupport.h"
#include "common/DecimalText.h"
#include "support/MainWindowParts.h"

namespace {
// Answers the save's first dialog: the warning of a unit that does not answer (then the
// file dialog), or the file dialog itself.
void AnswerSave(QWidget* modal, const QString& path) {
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    box->button(QMessageBox::Ok)->click();
    AnswerFileDialog(path);
    return;
  }
  auto* dialog = qobject_cast<QFileDialog*>(modal);
  ASSERT_NE(dialog, nullptr);
  SelectInFileDialog(dialog, path);
  static_cast<QDialog*>(dialog)->accept();
}

class UnsavedChangesTest : public EditTest {
 protected:
  // Some edits of every kind: typed values, an operation on a block, a paste, a setting.
  void EditEverything() {
    Select(maps->sgFuelMain, 4, 4);
    Type("1,37");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    Pump(10);
    Select(maps->sgIgnMain, 2, 2);
    Drag(maps->sgIgnMain, 2, 2, 6, 5);
    RunWithValue("actScaleValue", "93");
    Run("actInterpolate2D");
    Select(maps->sgrdFuelMax, 3, 1);
    Drag(maps->sgrdFuelMax, 3, 1, 7, 1);
    Run("actStepUp");
    Select(maps->sgMAF, 1, 20);
    Type("999");
    maps->sgMAF->SelectCell(1, 21);
    Pump(10);
    maps->seMaxRMP->setValue(maps->seMaxRMP->value() - 130);
  }
  // Loads the demo image through "За&грузить из BIN": its file dialog answered and then,
  // when `asked` is given, the unsaved-changes question with `button`.
  void LoadAgain(QMessageBox::StandardButton button = QMessageBox::NoButton,
                 bool* asked = nullptr) {
    const QString path = TempPath("demo.bin");
    AnswerNextModal([=](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      SelectInFileDialog(dialog, path);
      if (asked) {
        AnswerNextModal([=](QWidget* question) {
          *asked = question->objectName() == "UnsavedQuestion";
          auto* box = qobject_cast<QMessageBox*>(question);
          ASSERT_NE(box, nullptr);
          box->button(button)->click();
        });
      }
      static_cast<QDialog*>(dialog)->accept();
    });
    MainAction("BIN1")->trigger();
    Pump(20);
  }
  bool Marked() { return Find<QLabel>("lModified")->isVisibleTo(frmMain); }
};
}  // namespace

TEST_F(UnsavedChangesTest, UndoingEveryEditGivesBackTheBytesSavedBeforeThem) {
  const QByteArray before = SavedBytes("before.dme");
  EditEverything();
  const QByteArray after = SavedBytes("after.dme");
  EXPECT_NE(after, before);
  while (doc->CanUndo()) Run("actUndo");
  EXPECT_EQ(SavedBytes("undone.dme"), before);
  while (doc->CanRedo()) Run("actRedo");
  EXPECT_EQ(SavedBytes("redone.dme"), after);
}

TEST_F(UnsavedChangesTest, AnOperationSavesAsTheSameValuesTypedByHand) {
  TStringGrid* grid = maps->sgFuelMain;
  Select(grid, 3, 3);
  Drag(grid, 3, 3, 5, 4);
  RunWithValue("actSetValue", "1,0837");
  QStringList shown;
  for (int r = 3; r <= 4; ++r)
    for (int c = 3; c <= 5; ++c) shown << grid->Cell(c, r);
  const QByteArray operated = SavedBytes("operated.dme");
  // A fresh load, the same texts typed cell by cell.
  bool asked = false;
  LoadAgain(QMessageBox::Discard, &asked);
  ASSERT_TRUE(asked);
  ASSERT_FALSE(doc->CanUndo());
  int i = 0;
  for (int r = 3; r <= 4; ++r)
    for (int c = 3; c <= 5; ++c) {
      Select(grid, c, r);
      Type(shown[i++]);
    }
  maps->seMaxRMP->setFocus();
  Pump(10);
  EXPECT_EQ(SavedBytes("typed.dme"), operated);
}

TEST_F(UnsavedChangesTest, TheQuestionComesOnlyAfterAnEdit) {
  // No edit: loading again and closing ask nothing.
  bool asked = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      asked = true;
      box->reject();
    }
  });
  watch.start(5);
  LoadAgain();
  EXPECT_FALSE(asked);
  EXPECT_FALSE(Marked());
  watch.stop();

  Select(maps->sgFuelMain, 2, 2);
  RunWithValue("actSetValue", "1,1");
  EXPECT_TRUE(Marked());
  // Cancel: nothing loaded, the edit stays.
  const QString edited = maps->sgFuelMain->Cell(2, 2);
  LoadAgain(QMessageBox::Cancel, &asked);
  EXPECT_TRUE(asked);
  EXPECT_EQ(maps->sgFuelMain->Cell(2, 2), edited);
  EXPECT_TRUE(doc->CanUndo());
  // Closing the window: cancel keeps it open.
  asked = false;
  AnswerNextModal([&](QWidget* modal) {
    asked = modal->objectName() == "UnsavedQuestion";
    qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Cancel)->click();
  });
  frmMain->close();
  Pump(20);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(frmMain->isVisible());
  // Discard: the file loads, a new history starts.
  asked = false;
  LoadAgain(QMessageBox::Discard, &asked);
  EXPECT_TRUE(asked);
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_FALSE(Marked());
}

TEST_F(UnsavedChangesTest, SaveAnswerWritesTheSettingsFileAndThenLoads) {
  Select(maps->sgFuelMain, 2, 2);
  RunWithValue("actSetValue", "1,2");
  const QString path = TempPath("saved.dme");
  bool asked = false;
  // The load's file dialog, then the question, then the save's own steps: a warning when
  // the unit does not answer, and its file dialog.
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    SelectInFileDialog(dialog, TempPath("demo.bin"));
    AnswerNextModal([&](QWidget* question) {
      asked = question->objectName() == "UnsavedQuestion";
      AnswerNextModal([&](QWidget* next) { AnswerSave(next, path); });
      qobject_cast<QMessageBox*>(question)->button(QMessageBox::Save)->click();
    });
    static_cast<QDialog*>(dialog)->accept();
  });
  MainAction("BIN1")->trigger();
  Pump(50);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_FALSE(doc->CanUndo());
  // Saving marks the calibration saved.
  RunWithValue("actSetValue", "1,3");
  EXPECT_TRUE(Marked());
  const QString again = TempPath("saved-again.dme");
  AnswerNextModal([&](QWidget* modal) { AnswerSave(modal, again); });
  MainAction("N7")->trigger();
  Pump(50);
  EXPECT_FALSE(Marked());
  EXPECT_FALSE(doc->IsModified());
}
