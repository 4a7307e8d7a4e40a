// The status strip's marks of the calibration during a comparison: each stands on its own,
// whole, and the unsaved-changes mark shows after an edit while a reference is open.
#include <QLabel>

#include "EditTestSupport.h"
#include "support/MainWindowParts.h"
#include "ui/compare/CompareCommands.h"
#include "ui/compare/CompareMarks.h"
#include "ui/widgets/StatusStrip.h"
#include "ui/widgets/StripLabels.h"

namespace {
using StatusStripTest = EditTest;

// Whether a label shows its whole text: in its own font, or in the one a fitting label shrinks
// to, no smaller than nine tenths of its own.
bool ShowsWhole(const QLabel* label) {
  QFont font = label->font();
  if (const auto* fitting = qobject_cast<const TFittingLabel*>(label)) {
    font = fitting->ShownFont();
    if (QFontInfo(font).pointSizeF() < 0.9 * QFontInfo(label->font()).pointSizeF()) return false;
  }
  return QFontMetrics(font).horizontalAdvance(label->text()) <= label->contentsRect().width() &&
         QFontMetrics(font).height() <= label->contentsRect().height() + 1;
}
}  // namespace

TEST_F(StatusStripTest, ModifiedDifferencesAndHeldCellsNeitherOverlapNorGetCut) {
  // A reference that differs in many cells, an edit, and an operation whose limits held
  // more than a hundred cells: all three texts at once.
  AnswerFileDialog(TempPath("demo.bin"));
  MainAction("actCompare")->trigger();
  Pump(20);
  TStringGrid* grid = maps->sgFuelMain;
  Select(grid, 1, 1);
  Drag(grid, 1, 1, grid->ColCount() - 1, grid->RowCount() - 1);
  RunWithValue("actSetValue", "2");
  Pump(20);
  TStatusStrip& strip = MainStrip();
  ASSERT_TRUE(strip.lModified->isVisible());
  ASSERT_TRUE(strip.lCompare->isVisible());
  ASSERT_GE(MainCompare().Marks().Result().DifferentCells(), 100);
  ASSERT_TRUE(strip.lCompare->text().startsWith("Различий: 1"));
  ASSERT_TRUE(strip.lEditResult->text().startsWith("Ограничено ячеек: 1"));
  for (const QLabel* label : {strip.lModified, strip.lCompare, strip.lEditResult, strip.lLink})
    EXPECT_TRUE(ShowsWhole(label))
        << label->objectName().toStdString() << ": " << label->text().toStdString();
  // No two things on the strip that show now stand over each other.
  QList<QWidget*> shown;
  for (QWidget* child : strip.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (child->isVisible()) shown << child;
  for (int i = 0; i < shown.size(); ++i)
    for (int j = i + 1; j < shown.size(); ++j)
      EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
          << shown[i]->objectName().toStdString() << " over "
          << shown[j]->objectName().toStdString();
}
