#include "ui/editors/EditCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <algorithm>
#include <cerrno>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/RegularFile.h"
#include "common/SafeFileWrite.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/StatusStrip.h"
#include "ui/widgets/StringGrid.h"

namespace {
// Built when the dialogs are made, so that the filters follow the interface language.
QStringList CsvFilters() {
  return {QCoreApplication::translate("TEditCommands", "Таблицы CSV (*.csv)"),
          QCoreApplication::translate("TEditCommands", "Все файлы (*.*)")};
}

// The width a dialog needs to show `title` whole in a title bar: the text in the title
// bar's font (the application's, a little larger and bold on most desktops) and room for
// the icon and the close button.
int TitleWidth(const QString& title) {
  QFont font = QApplication::font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.2);
  return QFontMetrics(font).horizontalAdvance(title) + 140;
}

// The tab sheet of the page control that holds `widget`.
const QWidget* PageOf(const QTabWidget* pages, const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget())
    if (pages->indexOf(const_cast<QWidget*>(w)) >= 0) return w;
  return nullptr;
}
}  // namespace

TEditCommands::TEditCommands(QWidget* window, TMapEditors& maps, TStatusStrip& strip,
                             QTabWidget* pages)
    : QObject(window), fWindow(window), fMaps(maps), fStrip(strip), fPages(pages) {
  setObjectName(QStringLiteral("EditCommands"));
  const QKeySequence keypadPlus(Qt::KeypadModifier | Qt::Key_Plus);
  const QKeySequence keypadTimes(Qt::KeypadModifier | Qt::Key_Asterisk);
  actUndo = Make("actUndo", tr("&Отменить"), {QKeySequence(Qt::CTRL | Qt::Key_Z)});
  actRedo =
      Make("actRedo", tr("&Повторить"),
           {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  actCopy = Make("actCopy", tr("&Копировать"), {QKeySequence(Qt::CTRL | Qt::Key_C)});
  actPaste = Make("actPaste", tr("&Вставить"), {QKeySequence(Qt::CTRL | Qt::Key_V)});
  actSetValue = Make("actSetValue", tr("Задать значение..."), {QKeySequence(Qt::Key_Equal)});
  actAddValue = Make("actAddValue", tr("Прибавить..."), {keypadPlus});
  actScaleValue = Make("actScaleValue", tr("Умножить на %..."), {keypadTimes});
  // With Ctrl, so that no key used to type a number (or to move between cells) steps.
  actStepUp = Make("actStepUp", tr("Шаг вверх"), {QKeySequence(Qt::CTRL | Qt::Key_Up)});
  actStepDown = Make("actStepDown", tr("Шаг вниз"), {QKeySequence(Qt::CTRL | Qt::Key_Down)});
  actInterpolateH = Make("actInterpolateH", tr("Интерполировать по горизонтали"));
  actInterpolateV = Make("actInterpolateV", tr("Интерполировать по вертикали"));
  actInterpolate2D = Make("actInterpolate2D", tr("Интерполировать по площади"));
  actSmooth = Make("actSmooth", tr("Сгладить"));
  actExportCsv = Make("actExportCsv", tr("Экспорт таблицы в CSV..."));
  actImportCsv = Make("actImportCsv", tr("Импорт таблицы из CSV..."));
  // Export and import share the suffix, and so the folder the user was last in.
  sdExportCsv =
      MakeFileDialog(window, "sdExportCsv", true, tr("Экспорт таблицы в CSV"), CsvFilters(), "csv");
  odImportCsv = MakeFileDialog(window, "odImportCsv", false, tr("Импорт таблицы из CSV"),
                               CsvFilters(), "csv");
  Connect();
  ConnectGridKeys();
  UpdateActions();
}

QAction* TEditCommands::Make(const char* name, const QString& caption,
                             const QList<QKeySequence>& shortcuts) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcuts(shortcuts);
  // Menu shortcuts work wherever the focus is inside the main window.
  action->setShortcutContext(Qt::WindowShortcut);
  return action;
}

void TEditCommands::FillMenu(QMenu* menu) {
  const QList<QList<QAction*>> groups = {
      {actUndo, actRedo},
      {actCopy, actPaste},
      {actSetValue, actAddValue, actScaleValue, actStepUp, actStepDown},
      {actInterpolateH, actInterpolateV, actInterpolate2D, actSmooth},
      {actExportCsv, actImportCsv}};
  for (const QList<QAction*>& group : groups) {
    if (!menu->isEmpty()) menu->addSeparator();
    menu->addActions(group);
    fWindow->addActions(group);
  }
  connect(menu, &QMenu::aboutToShow, this, &TEditCommands::UpdateActions);
}

void TEditCommands::Connect() {
  auto on = [this](QAction* action, std::function<void()> command) {
    connect(action, &QAction::triggered, this, Guarded(std::move(command)));
  };
  on(actUndo, [this] { Undo(); });
  on(actRedo, [this] { Redo(); });
  on(actCopy, [this] { Copy(); });
  on(actPaste, [this] { Paste(); });
  on(actSetValue, [this] {
    TStringGrid* grid = CurrentGrid();
    if (!grid) return;
    const auto value =
        AskValue(tr("Задать значение"), tr("Значение:"), grid->Cell(grid->Col(), grid->Row()));
    if (value) RunOnSelection([&](auto& t, auto& s) { return SetValue(t, s, *value); });
  });
  on(actAddValue, [this] {
    const auto value =
        AskValue(tr("Прибавить"), tr("Прибавить (отрицательное — вычесть):"), QStringLiteral("0"));
    if (value) RunOnSelection([&](auto& t, auto& s) { return AddValue(t, s, *value); });
  });
  on(actScaleValue, [this] {
    const auto value =
        AskValue(tr("Умножить на %"), tr("Процент (105 — на 5 % больше):"), QStringLiteral("100"));
    if (value) RunOnSelection([&](auto& t, auto& s) { return ScalePercent(t, s, *value); });
  });
  on(actStepUp, [this] { RunOnSelection([](auto& t, auto& s) { return StepCodes(t, s, 1); }); });
  on(actStepDown, [this] { RunOnSelection([](auto& t, auto& s) { return StepCodes(t, s, -1); }); });
  on(actInterpolateH, [this] { RunOnSelection(&InterpolateH); });
  on(actInterpolateV, [this] { RunOnSelection(&InterpolateV); });
  on(actInterpolate2D, [this] { RunOnSelection(&Interpolate2D); });
  on(actSmooth, [this] { RunOnSelection(&Smooth); });
  on(actExportCsv, [this] { ExportCsv(); });
  on(actImportCsv, [this] { ImportCsv(); });

  connect(&fMaps.Doc(), &TCalibration::HistoryChanged, this, &TEditCommands::UpdateActions);
  // What the limits cut belongs to the operation that cut it: any other change of the
  // calibration (a typed value, an undo, a log correction, a load) takes the count away.
  auto clearResult = [this] { fStrip.ShowEditResult(QString()); };
  connect(&fMaps.Doc(), &TCalibration::CellsChanged, this, clearResult);
  connect(&fMaps.Doc(), &TCalibration::SettingChanged, this, clearResult);
  connect(&fMaps.Doc(), &TCalibration::Reloaded, this, clearResult);
  connect(&fMaps, &TMapEditors::TablesFilled, this, &TEditCommands::UpdateActions);
  connect(&fMaps, &TMapEditors::GridEntered, this, [this](TStringGrid* grid) {
    fLastGrid[PageOf(fPages, grid)] = grid;
    UpdateActions();
  });
  connect(fPages, &QTabWidget::currentChanged, this, &TEditCommands::UpdateActions);
}

void TEditCommands::ConnectGridKeys() {
  for (int i = 0; i < kTableCount; ++i)
    fMaps.GridOf(static_cast<TTableId>(i))->SetKeyCommand([this](const QKeyEvent& key) {
      return RunShortcutOf(key);
    });
}

QList<QAction*> TEditCommands::Actions() const {
  return {actUndo,         actRedo,          actCopy,   actPaste,     actSetValue,
          actAddValue,     actScaleValue,    actStepUp, actStepDown,  actInterpolateH,
          actInterpolateV, actInterpolate2D, actSmooth, actExportCsv, actImportCsv};
}

bool TEditCommands::RunShortcutOf(const QKeyEvent& key) {
  // A key press reaches a grid when the window's shortcuts did not take it: the keypad's
  // keys, which X reports without the keypad as a shortcut sees it, and every key while a
  // cell editor is open, as an editor keeps the keys it could type. The menu's keys are
  // its commands there too: Num+ adds to the block instead of typing "+".
  const QKeyCombination pressed = key.keyCombination();
  const QKeyCombination plain(pressed.keyboardModifiers() & ~Qt::KeypadModifier, pressed.key());
  for (QAction* action : Actions())
    for (const QKeySequence& keys : action->shortcuts()) {
      if (keys.count() != 1) continue;
      const QKeyCombination wanted = keys[0];
      const bool keypad = wanted.keyboardModifiers() & Qt::KeypadModifier;
      if (wanted != pressed && (keypad || wanted != plain)) continue;
      UpdateActions();
      if (!action->isEnabled()) return false;
      // Out of the key's own handling first: the command closes the cell editor.
      QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
      return true;
    }
  return false;
}

TStringGrid* TEditCommands::CurrentGrid() const {
  const auto last = fLastGrid.find(fPages->currentWidget());
  if (last == fLastGrid.end()) return nullptr;
  TStringGrid* grid = last->second;
  // A grid the variant hides or disables is no table to work on.
  if (!grid->isEnabled() || !grid->isVisibleTo(fPages->currentWidget())) return nullptr;
  return grid;
}

void TEditCommands::UpdateActions() {
  const TCalibration& doc = fMaps.Doc();
  actUndo->setEnabled(doc.CanUndo());
  actRedo->setEnabled(doc.CanRedo());
  const bool table = fTablesLoaded && fTablesLoaded() && doc.Loaded() && CurrentGrid();
  for (QAction* action : Actions())
    if (action != actUndo && action != actRedo) action->setEnabled(table);
}

std::optional<double> TEditCommands::AskValue(const QString& title, const QString& label,
                                              const QString& initial) {
  QInputDialog dialog(fWindow);
  dialog.setObjectName(QStringLiteral("EditValueDialog"));
  dialog.setWindowTitle(title);
  dialog.setLabelText(label);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(initial);
  // Wide enough for its title beside the title bar's buttons.
  if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMinimumWidth(TitleWidth(title));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString text = dialog.textValue().trimmed();
  const auto value = TryTypedFloat(text, DecimalSeparator());
  if (!value) throw EConvertError::InvalidFloat(text);
  return value;
}

void TEditCommands::RunOnSelection(const Operation& operation) {
  TStringGrid* grid = CurrentGrid();
  if (!grid) return;
  fMaps.FinishTyping(grid);
  const QRect block = grid->SelectedBlock();
  if (block.isNull()) return;
  const TSelection selection{block.left(), block.top(), block.right(), block.bottom()};
  Finish(operation(fMaps.Doc().Table(*fMaps.TableOf(grid)), selection));
}

void TEditCommands::Finish(TOpResult result) {
  if (!result.error.isEmpty()) {
    ShowErrorBox(result.error);
    return;
  }
  // The count belongs to this operation: shown once its step is in (every change of the
  // calibration clears it, this one's too).
  fMaps.Doc().Apply(std::move(result.step));
  fStrip.ShowEditResult(result.limited > 0 ? tr("Ограничено ячеек: %1").arg(result.limited)
                                           : QString());
}

void TEditCommands::Undo() {
  if (TStringGrid* grid = CurrentGrid()) fMaps.FinishTyping(grid);
  fMaps.Doc().Undo();
}

void TEditCommands::Redo() {
  if (TStringGrid* grid = CurrentGrid()) fMaps.FinishTyping(grid);
  fMaps.Doc().Redo();
}

void TEditCommands::Copy() {
  TStringGrid* grid = CurrentGrid();
  if (!grid) return;
  fMaps.FinishTyping(grid);
  const QRect block = grid->SelectedBlock();
  if (block.isNull()) return;
  const TSelection selection{block.left(), block.top(), block.right(), block.bottom()};
  QApplication::clipboard()->setText(
      CopyText(fMaps.Doc().Table(*fMaps.TableOf(grid)), selection, DecimalSeparator()));
}

void TEditCommands::Paste() {
  TStringGrid* grid = CurrentGrid();
  if (!grid) return;
  fMaps.FinishTyping(grid);
  const QRect block = grid->SelectedBlock();
  if (block.isNull()) return;
  TOpResult result = ::Paste(fMaps.Doc().Table(*fMaps.TableOf(grid)), block.left(), block.top(),
                             QApplication::clipboard()->text(), DecimalSeparator());
  // The pasted block stays selected, as a spreadsheet leaves it.
  int right = block.left(), bottom = block.top();
  for (const TCellEdit& edit : result.step.cells) {
    right = std::max(right, edit.col);
    bottom = std::max(bottom, edit.row);
  }
  const bool pasted = result.error.isEmpty();
  Finish(std::move(result));
  if (pasted) grid->SelectBlock(block.left(), block.top(), right, bottom);
}

void TEditCommands::ExportCsv() {
  TStringGrid* grid = CurrentGrid();
  if (!grid) return;
  fMaps.FinishTyping(grid);
  const TCalTable& table = fMaps.Doc().Table(*fMaps.TableOf(grid));
  sdExportCsv->selectFile(TableFileName(table.id) + QStringLiteral(".csv"));
  const QString path = RunFileDialog(sdExportCsv);
  if (path.isEmpty()) return;
  WriteFileSafely(path, ::ExportCsv(table, DecimalSeparator()).toUtf8());
}

void TEditCommands::ImportCsv() {
  TStringGrid* grid = CurrentGrid();
  if (!grid) return;
  fMaps.FinishTyping(grid);
  const QString path = RunFileDialog(odImportCsv);
  if (path.isEmpty()) return;
  RequireRegularFile(path);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw EInOutError(EInOutError::kFileNotFound);
  const QString text = QString::fromUtf8(file.readAll());
  Finish(::ImportCsv(fMaps.Doc().Table(*fMaps.TableOf(grid)), text, DecimalSeparator()));
}
