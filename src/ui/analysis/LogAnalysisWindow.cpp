#include "ui/analysis/LogAnalysisWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "analysis/FuelMapInput.h"
#include "analysis/TargetTable.h"
#include "calibration/Calibration.h"
#include "common/DecimalText.h"
#include "common/RegularFile.h"
#include "common/SafeFileWrite.h"
#include "common/ShownText.h"
#include "telemetry/LogReader.h"
#include "ui/analysis/CorrectionCells.h"
#include "ui/analysis/CorrectionSettings.h"
#include "ui/analysis/LogOverlay.h"
#include "ui/analysis/NamedControls.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/DecimalSpinBox.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/LogColumnsDialog.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/StringGrid.h"

TfrmLogAnalysis::TfrmLogAnalysis(QWidget* parent, TMapEditors& maps)
    : QWidget(parent, Qt::Window), fMaps(maps) {
  setObjectName(QStringLiteral("frmLogAnalysis"));
  setWindowTitle(tr("Анализ ЛОГа на картах"));
  // The boxes scroll (with a log the two tables the size of the fuel map make them taller
  // than a laptop's screen); "Применить" stays at the window's foot, always in reach.
  auto* outer = new QVBoxLayout(this);
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("saLogAnalysis"));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* content = new QWidget(scroll);
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(BuildSourceBox());
  layout->addWidget(BuildFilterBox());
  layout->addWidget(BuildCorrectionBox());
  layout->addStretch(1);
  scroll->setWidget(content);
  outer->addWidget(scroll, 1);
  btnApply = NamedButton(this, "btnApply", tr("Применить"));
  btnApply->setToolTip(tr("Записать предложенные значения в карту топлива (одним шагом отмены)"));
  outer->addWidget(btnApply, 0, Qt::AlignRight);
  resize(720, 640);
  odLogFile = MakeFileDialog(this, "odLogFile", false, tr("Открыть ЛОГ-файл"),
                             {tr("ЛОГ-файлы (*.txt *.log)"), tr("Все файлы (*.*)")}, "txt");
  MatchAllFilesForStarDotStar(odLogFile);
  fFuelOverlay = new TLogOverlay(this, fMaps.GridOf(TTableId::FuelMain));
  fIgnitionOverlay = new TLogOverlay(this, fMaps.GridOf(TTableId::IgnMain));
  ConnectControls();
  ShowSummary();
  ShapeTargets();
  ShowCorrection();
}

TfrmLogAnalysis::~TfrmLogAnalysis() = default;

QWidget* TfrmLogAnalysis::BuildSourceBox() {
  auto* box = new QGroupBox(tr("ЛОГ"), this);
  auto* row = new QHBoxLayout(box);
  btnOpenLog = NamedButton(box, "btnOpenLog", tr("Открыть ЛОГ..."));
  btnTelemetryLog = NamedButton(box, "btnTelemetryLog", tr("ЛОГ окна телеметрии"));
  lblSource = new QLabel(tr("ЛОГ не загружен"), box);
  lblSource->setObjectName(QStringLiteral("lblSource"));
  row->addWidget(btnOpenLog);
  row->addWidget(btnTelemetryLog);
  row->addWidget(lblSource, 1);
  return box;
}

QWidget* TfrmLogAnalysis::BuildFilterBox() {
  auto* box = new QGroupBox(tr("Статистика по ячейкам"), this);
  auto* form = new QFormLayout(box);
  cbChannel = new QComboBox(box);
  cbChannel->setObjectName(QStringLiteral("cbChannel"));
  for (int slot = kRPM; slot < kLiveSlots; ++slot)
    cbChannel->addItem(QString::fromLatin1(kLiveColumnNames[static_cast<size_t>(slot)]), slot);
  cbChannel->setCurrentIndex(cbChannel->findData(static_cast<int>(kO2)));
  form->addRow(tr("Канал"), cbChannel);
  seMinRecords = new QSpinBox(box);
  seMinRecords->setObjectName(QStringLiteral("seMinRecords"));
  seMinRecords->setRange(1, 1000000);
  seMinRecords->setValue(10);
  form->addRow(tr("Мало данных: записей меньше"), seMinRecords);
  chkCoolant = NamedCheck(box, "chkCoolant", tr("Прогретый двигатель: CLT выше"));
  seCoolant = NamedSpin(box, "seCoolant", -40, 150, 70, 0, tr(" °C"));
  form->addRow(chkCoolant, seCoolant);
  chkTps = NamedCheck(box, "chkTps", tr("Ровный дроссель: изменение TPS меньше"));
  seTpsStep = NamedSpin(box, "seTpsStep", 0.1, 100, 2, 1);
  form->addRow(chkTps, seTpsStep);
  chkTime = NamedCheck(box, "chkTime", tr("Отрезок ЛОГа, с"));
  auto* range = new QHBoxLayout;
  seTimeFrom = NamedSpin(box, "seTimeFrom", 0, 1e7, 0, 1);
  seTimeTo = NamedSpin(box, "seTimeTo", 0, 1e7, 0, 1);
  range->addWidget(seTimeFrom);
  range->addWidget(new QLabel(QStringLiteral("–"), box));
  range->addWidget(seTimeTo);
  form->addRow(chkTime, range);
  chkShowOnMaps = NamedCheck(box, "chkShowOnMaps", tr("Показать на картах"));
  chkShowOnMaps->setChecked(true);
  form->addRow(chkShowOnMaps);
  lblSummary = new QLabel(box);
  lblSummary->setObjectName(QStringLiteral("lblSummary"));
  lblSummary->setWordWrap(true);
  form->addRow(lblSummary);
  return box;
}

QWidget* TfrmLogAnalysis::BuildCorrectionBox() {
  auto* box = new QGroupBox(tr("Коррекция топлива по широкополосному датчику"), this);
  auto* column = new QVBoxLayout(box);
  column->addWidget(BuildTargetBox(box));
  settings = new TCorrectionSettings(box);
  seMaxStep = settings->seMaxStep;
  column->addWidget(settings);
  lblCorrection = new QLabel(box);
  lblCorrection->setObjectName(QStringLiteral("lblCorrection"));
  lblCorrection->setWordWrap(true);
  column->addWidget(lblCorrection);
  sgCorrection = new TStringGrid(1, 1, 1, 1, box);
  sgCorrection->setObjectName(QStringLiteral("sgCorrection"));
  sgCorrection->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgCorrection->SetDrawCellHook([this](QPainter& p, const QRect& rect, int c, int r) {
    return PaintCorrectionCell(p, rect, c, r);
  });
  column->addWidget(sgCorrection, 1);
  sgCorrection->viewport()->installEventFilter(this);
  lblLegend = new QLabel(CorrectionLegend(), box);
  lblLegend->setObjectName(QStringLiteral("lblLegend"));
  lblLegend->setTextFormat(Qt::RichText);
  column->addWidget(lblLegend);
  return box;
}

void TfrmLogAnalysis::ConnectControls() {
  ConnectTargets();
  connect(btnOpenLog, &QPushButton::clicked, this, Guarded([this] { OpenLogClick(); }));
  connect(btnTelemetryLog, &QPushButton::clicked, this, Guarded([this] { TakeTelemetryLog(); }));
  connect(btnApply, &QPushButton::clicked, this, Guarded([this] { ApplyClick(); }));
  connect(sgCorrection, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int col) { ToggleLock(col, row); });
  auto again = [this] {
    fApplied = false;
    RunCommand([this] { Analyse(); });
  };
  connect(cbChannel, &QComboBox::currentIndexChanged, this, again);
  connect(seMinRecords, &QSpinBox::valueChanged, this, again);
  connect(settings, &TCorrectionSettings::Changed, this, again);
  for (QDoubleSpinBox* spin : {seCoolant, seTpsStep, seTimeFrom, seTimeTo, seTargetAfr})
    connect(spin, &QDoubleSpinBox::valueChanged, this, again);
  for (QCheckBox* box : {chkCoolant, chkTps, chkTime, chkShowOnMaps})
    connect(box, &QCheckBox::toggled, this, again);
  // A changed map or lambda panel (an edit, an undo, another image) changes the proposal;
  // the window's own step does not offer the correction again.
  TCalibration& doc = fMaps.Doc();
  auto follow = [this] {
    if (fApplying) return;
    fApplied = false;
    RunCommand([this] { Analyse(); });
  };
  connect(&doc, &TCalibration::CellsChanged, this, follow);
  connect(&doc, &TCalibration::SettingChanged, this, follow);
  connect(&doc, &TCalibration::Reloaded, this, [this, follow] {
    fOriginal.clear();  // a new image: its own factors bound the authority, nothing locked
    fLocked.clear();
    follow();
  });
  connect(&fMaps, &TMapEditors::TablesFilled, this, follow);
}

void TfrmLogAnalysis::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Analyse();
}

void TfrmLogAnalysis::OpenLogClick() {
  const QString path = RunFileDialog(odLogFile);
  if (!path.isEmpty()) LoadLogFile(path);
}

void TfrmLogAnalysis::LoadLogFile(const QString& path) {
  TEFILogger logger;
  QString problem;
  std::optional<TLogColumns> mapped;
  int64_t emptyCells = 0;
  try {
    bool read = false;
    mapped = LoadAnyLog(this, path, logger, read, &emptyCells);
    if (!read) return;
  } catch (const ELogLineError& e) {
    problem = tr("чтение остановлено в строке %1: %2")
                  .arg(e.Line())
                  .arg(QString::fromStdString(e.Reason()));
  }
  const TEFILogList& list = logger.Records;
  // A log without records would analyse to tables of zeros: the user hears so instead, and
  // the log analysed before stays.
  if (list.Count() == 0 && problem.isEmpty()) {
    ShowErrorBox(
        tr("В ЛОГе %1 нет ни одной записи").arg(EscapeControls(QFileInfo(path).fileName())));
    return;
  }
  std::vector<LiveRecord> records(list.Data(), list.Data() + list.Count());
  fColumns = mapped;
  QString source = EscapeControls(QFileInfo(path).fileName());
  if (!problem.isEmpty()) source += QStringLiteral(" (") + problem + QLatin1Char(')');
  if (emptyCells > 0)
    source += QStringLiteral(" (") +
              tr("пустых ячеек, взявших значение строки выше: %1").arg(emptyCells) +
              QLatin1Char(')');
  SetRecords(std::move(records), source);
}

void TfrmLogAnalysis::TakeTelemetryLog() {
  std::vector<LiveRecord> records = fTelemetryLog ? fTelemetryLog() : std::vector<LiveRecord>{};
  if (records.empty()) {
    ShowErrorBox(tr("В окне телеметрии нет загруженного ЛОГа"));
    return;
  }
  fColumns.reset();
  SetRecords(std::move(records), tr("ЛОГ окна телеметрии"));
}

void TfrmLogAnalysis::SetRecords(std::vector<LiveRecord> records, const QString& source) {
  fRecords = std::move(records);
  fSource = source;
  fApplied = false;
  // A new log offers its whole length as the time range.
  if (!fRecords.empty()) {
    const QSignalBlocker a(seTimeFrom), b(seTimeTo);
    seTimeFrom->setValue(fRecords.front()[kTime]);
    seTimeTo->setValue(fRecords.back()[kTime]);
  }
  Analyse();
}

TLogFilter TfrmLogAnalysis::Filter() const {
  TLogFilter filter;
  if (chkCoolant->isChecked()) filter.minCoolant = seCoolant->value();
  if (chkTps->isChecked()) filter.maxTpsStep = seTpsStep->value();
  if (chkTime->isChecked()) {
    filter.timeFrom = seTimeFrom->value();
    filter.timeTo = seTimeTo->value();
  }
  return filter;
}

void TfrmLogAnalysis::Analyse() {
  const TCalibration& doc = fMaps.Doc();
  fFuel = {};
  fIgnition = {};
  if (doc.Loaded() && !fRecords.empty()) {
    TAnalysisOptions options;
    options.channel = static_cast<LiveSlot>(cbChannel->currentData().toInt());
    options.minRecords = seMinRecords->value();
    options.filter = Filter();
    const auto count = static_cast<int64_t>(fRecords.size());
    fFuel = AnalyseLog(fRecords.data(), count, AxesOfTable(doc.Table(TTableId::FuelMain)), options);
    fIgnition =
        AnalyseLog(fRecords.data(), count, AxesOfTable(doc.Table(TTableId::IgnMain)), options);
  }
  ShowOverlays();
  ShowSummary();
  ShapeTargets();
  ProposeCorrection();
  ShowCorrection();
}

void TfrmLogAnalysis::ShowOverlays() {
  if (!chkShowOnMaps->isChecked() || fFuel.cells.empty()) {
    fFuelOverlay->Clear();
    fIgnitionOverlay->Clear();
    return;
  }
  const QString channel = cbChannel->currentText();
  fFuelOverlay->Show(fFuel, channel);
  fIgnitionOverlay->Show(fIgnition, channel);
}

void TfrmLogAnalysis::ShowSummary() {
  QString text = fSource.isEmpty() ? tr("ЛОГ не загружен") : fSource;
  lblSource->setText(text);
  lblSource->setToolTip(text);
  if (fRecords.empty()) {
    lblSummary->setText(QString());
  } else if (!fMaps.Doc().Loaded()) {
    lblSummary->setText(tr("Записей: %1. Карты не загружены.").arg(fRecords.size()));
  } else {
    lblSummary->setText(tr("Записей: %1, отброшено фильтрами: %2, вне карты: %3.")
                            .arg(fFuel.records)
                            .arg(fFuel.filtered)
                            .arg(fFuel.outside));
  }
}

// A delimited log's mixture column says what it holds (a ratio or lambda; volts are read on the
// sensor line chosen), and the filters whose channel it lacks step aside as the command line's
// do: without coolant the warm-up filter, without throttle the closed-throttle test.
void TfrmLogAnalysis::FitToColumns(const TLogColumns& columns, TFuelCorrectionInput& in) {
  if (columns.mixtureKind != TLogMixture::Volts) {
    in.sensor.kind =
        columns.mixtureKind == TLogMixture::Afr ? TO2Sensor::Kind::Afr : TO2Sensor::Kind::Lambda;
    in.wideBand = true;
  }
  if (!columns.Has(kCLT)) in.filters.warm = false;
  if (!columns.Has(kTPS)) in.filters.closedThrottle = -1;
}

TFuelCorrectionInput TfrmLogAnalysis::CorrectionInput() {
  const TCalTable& table = fMaps.Doc().Table(TTableId::FuelMain);
  TFuelCorrectionInput in = FuelMapInput(table);
  if (fOriginal.size() != in.current.size()) fOriginal = in.current;
  in.original = fOriginal;
  if (fLocked.size() == in.current.size()) in.locked = fLocked;
  in.wideBand = fMaps.WideBand();
  in.targetAfr = seTargetAfr->value();
  if (rbTargetTable->isChecked()) in.targetTable = fTargets;
  const TWideBandRange panel = fMaps.LambdaRange();
  settings->FollowPanel(panel);
  settings->ApplyTo(in, panel);
  if (fColumns) FitToColumns(*fColumns, in);
  // The log's stretch, when one is chosen, bounds the correction as it does the statistics.
  if (chkTime->isChecked()) {
    in.filters.timeFrom = seTimeFrom->value();
    in.filters.timeTo = seTimeTo->value();
  }
  return in;
}

void TfrmLogAnalysis::ProposeCorrection() {
  fCorrection = {};
  if (fRecords.empty() || !fMaps.Doc().Loaded()) return;
  fCorrection = ProposeFuelCorrection(fRecords.data(), static_cast<int64_t>(fRecords.size()),
                                      CorrectionInput());
}

void TfrmLogAnalysis::ShowCorrection() {
  const bool loaded = fMaps.Doc().Loaded();
  const TCalTable* table = loaded ? &fMaps.Doc().Table(TTableId::FuelMain) : nullptr;
  const bool shown = table && !fCorrection.Refused() && fCorrection.cols > 0;
  sgCorrection->SetColCount(shown ? table->cols : 1);
  sgCorrection->SetRowCount(shown ? table->rows : 1);
  // Cells as compact as the map's own, the whole table in view.
  sgCorrection->SetDefaultColWidth(38);
  sgCorrection->SetDefaultRowHeight(20);
  sgCorrection->setFixedSize(sgCorrection->ColCount() * 38 + 4, sgCorrection->RowCount() * 20 + 4);
  int changed = 0, used = 0;
  if (shown) {
    for (int r = 0; r < table->rows; ++r)
      for (int c = 0; c < table->cols; ++c) {
        const bool header = c == 0 || r == 0;
        sgCorrection->SetCell(
            c, r,
            header ? table->Text(c, r) : table->Rule(c, r).Show(fCorrection.At(c - 1, r - 1)));
        if (header) continue;
        const size_t i = fCorrection.Index(c - 1, r - 1);
        changed += fCorrection.changed[i] && std::isfinite(fCorrection.proposed[i]) ? 1 : 0;
        used += fCorrection.weight[i] >= settings->seMinWeight->value() ? 1 : 0;
      }
  } else {
    sgCorrection->SetCell(0, 0, QString());
  }
  sgCorrection->Repaint();
  settings->ShowCounts(shown ? &fCorrection : nullptr);
  if (fCorrection.Refused())
    lblCorrection->setText(tr("Коррекция невозможна: %1").arg(fCorrection.refusal));
  else if (!shown)
    lblCorrection->setText(tr("Нет ЛОГа или карт для коррекции."));
  else if (fApplied)
    lblCorrection->setText(tr("Коррекция применена (её можно отменить в меню \"Правка\")."));
  else
    lblCorrection->setText(
        tr("Ячеек с достаточными данными: %1, предложено изменить: %2.").arg(used).arg(changed));
  btnApply->setEnabled(shown && changed > 0 && !fApplied);
}

bool TfrmLogAnalysis::PaintCorrectionCell(QPainter& painter, const QRect& rect, int col, int row) {
  if (col < 1 || row < 1 || fCorrection.cols == 0 || col > fCorrection.cols ||
      row > fCorrection.rows)
    return false;
  const size_t i = fCorrection.Index(col - 1, row - 1);
  const TCalTable& table = fMaps.Doc().Table(TTableId::FuelMain);
  painter.fillRect(rect,
                   CorrectionCellColour(fCorrection, i,
                                        table.Value(col, row).value_or(fCorrection.proposed[i])));
  painter.setPen(CorrectionCellFaint(fCorrection, i) ? QColor(150, 150, 150) : QColor(Qt::black));
  painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, sgCorrection->Cell(col, row));
  return true;
}

QString TfrmLogAnalysis::CorrectionTip(int col, int row) const {
  if (col < 1 || row < 1 || fCorrection.Refused() || col > fCorrection.cols ||
      row > fCorrection.rows || fCorrection.proposed.empty())
    return {};
  const TCalTable& table = fMaps.Doc().Table(TTableId::FuelMain);
  const TCellRule rule = table.Rule(col, row);
  const size_t i = fCorrection.Index(col - 1, row - 1);
  return CorrectionCellTip(fCorrection, i, table.Value(col, row).value_or(fCorrection.proposed[i]),
                           [&rule](double v) { return rule.Show(v); });
}

bool TfrmLogAnalysis::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip && watched == sgCorrection->viewport()) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = sgCorrection->indexAt(help->pos());
    const QString text = index.isValid() ? CorrectionTip(index.column(), index.row()) : QString();
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), text, sgCorrection->viewport());
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TfrmLogAnalysis::ToggleLock(int col, int row) {
  const TCalTable& table = fMaps.Doc().Table(TTableId::FuelMain);
  if (col < 1 || row < 1 || col >= table.cols || row >= table.rows) return;
  fLocked.resize(static_cast<size_t>((table.cols - 1) * (table.rows - 1)), 0);
  char& lock = fLocked[static_cast<size_t>((row - 1) * (table.cols - 1) + col - 1)];
  lock = !lock;
  fApplied = false;
  ProposeCorrection();
  ShowCorrection();
}

void TfrmLogAnalysis::ApplyClick() {
  // A value still being typed into the fuel map is recorded first, and the proposal is made
  // again from the map as it then stands.
  fMaps.FinishTyping(fMaps.GridOf(TTableId::FuelMain));
  Analyse();
  if (fCorrection.Refused() || fCorrection.cols == 0) return;
  TCalibration& doc = fMaps.Doc();
  const TCalTable& table = doc.Table(TTableId::FuelMain);
  TEditStep step = CorrectionStep(table, fCorrection, tr("Коррекция по ЛОГу"));
  fApplying = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{fApplying};
  fApplied = doc.Apply(std::move(step));
  ShowCorrection();
}
