#include "ui/telemetry/TelemetryWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "common/Clock.h"
#include "common/DecimalText.h"
#include "common/ShownText.h"
#include "ui/widgets/Dial.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/LogColumnsDialog.h"
#include "ui/widgets/PagedChart.h"

namespace {

// Curve 0 red, 1 the active-caption colour, 2 green, 3 yellow.
QColor CurveColor(int curve) {
  switch (curve) {
    case 0:
      return Qt::red;
    case 1:
      return SystemActiveCaptionColor();
    case 2:
      return QColor(0, 128, 0);
    default:
      return Qt::yellow;
  }
}

// WCAG relative luminance of a colour.
double Luminance(QColor color) {
  auto channel = [](double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
         0.0722 * channel(color.blueF());
}

// Black or white, whichever stands out more on `background`; either gives a contrast of at
// least 4.5:1 on any colour.
QColor ReadableTextOn(QColor background) {
  const double l = Luminance(background);
  return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? QColor(Qt::black) : QColor(Qt::white);
}

// Paints a combo box flat in its curve's colour with black or white text. A style sheet,
// not the palette: styles shade a palette's button colour (a lighter green under Fusion),
// and text chosen for the palette colour would then lose its contrast.
void PaintInCurveColour(QComboBox* combo, QColor color) {
  const QString face = color.name();
  const QString text = ReadableTextOn(color).name();
  combo->setStyleSheet(QStringLiteral("QComboBox { background-color: %1; color: %2; "
                                      "border: 1px solid gray; padding: 1px 2px; }"
                                      "QComboBox QAbstractItemView { background-color: %1; "
                                      "color: %2; }")
                           .arg(face, text));
}

// Restores the normal mouse cursor when a load ends, however it ends.
struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

TFrmTelemetry::TFrmTelemetry(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("FrmTelemetry"));
  setWindowTitle(tr("Телеметрия DEMO"));
  resize(909, 730);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* area = new QFrame(this);
  area->setObjectName(QStringLiteral("Panel1"));
  outer->addWidget(area, 1);
  BuildBands(area);
  auto* bottom = new QFrame(this);
  bottom->setObjectName(QStringLiteral("Panel2"));
  bottom->setFixedHeight(63);
  outer->addWidget(bottom);
  BuildBottom(bottom);

  ODLogFile = new QFileDialog(this, tr("Открыть ЛОГ-файл"));
  ODLogFile->setObjectName(QStringLiteral("ODLogFile"));
  ODLogFile->setOption(QFileDialog::DontUseNativeDialog);
  ODLogFile->setAcceptMode(QFileDialog::AcceptOpen);
  ODLogFile->setFileMode(QFileDialog::ExistingFile);
}

TFrmTelemetry::~TFrmTelemetry() = default;

void TFrmTelemetry::BuildBands(QFrame* area) {
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(5, 5, 5, 5);
  auto* splitter = new QSplitter(Qt::Vertical, area);
  splitter->setChildrenCollapsible(false);
  splitter->setHandleWidth(6);
  layout->addWidget(splitter);
  const char* panels[] = {"Panel4", "Panel3", "Panel5"};
  const char* groups[] = {"GroupBox2", "GroupBox4", "GroupBox5"};
  for (int h = 0; h < 3; ++h) {
    auto* band = new QFrame(splitter);
    band->setObjectName(QString::fromLatin1(panels[h]));
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(3);
    auto* group = new QGroupBox(tr("Зависимости%1:").arg(h + 1), band);
    group->setObjectName(QString::fromLatin1(groups[h]));
    group->setFixedWidth(104);
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    auto* chart = new TPagedChart(band);
    chart->setObjectName(QStringLiteral("DualChart%1").arg(h + 1));
    fCharts[h] = chart;
    for (int c = 0; c < TPagedChart::kDataCurves; ++c) {
      const int k = h * 4 + c + 1;
      auto* combo = new QComboBox(group);
      combo->setObjectName(QStringLiteral("cb%1Param").arg(k));
      const QColor color = CurveColor(c);
      PaintInCurveColour(combo, color);
      column->addWidget(combo);
      fCombos[k - 1] = combo;
      // A choice, not a change: choosing the name already selected draws its curve again
      // (after "Закрыть" emptied the charts).
      connect(combo, &QComboBox::activated, this,
              [this, k](int) { RunCommand([&] { cbParamChange(k); }); });
      auto* ticks = new QCheckBox(group);
      ticks->setObjectName(k == 1 ? QStringLiteral("cbGrafTicks")
                                  : QStringLiteral("cbGraf%1Ticks").arg(k));
      ticks->setVisible(false);
      connect(ticks, &QCheckBox::clicked, this,
              [this, k](bool) { RunCommand([&] { cbGrafTicksClick(k); }); });
      fTickBoxes[k - 1] = ticks;
      chart->SetCurveColor(c, color);
    }
    column->addStretch(1);
    row->addWidget(group);
    row->addWidget(chart, 1);
  }
  DualChart1 = fCharts[0];
  DualChart2 = fCharts[1];
  DualChart3 = fCharts[2];
  splitter->setSizes({212, 204, 196});
  splitter->setStretchFactor(1, 1);
  splitter->handle(1)->setObjectName(QStringLiteral("Splitter1"));
  splitter->handle(2)->setObjectName(QStringLiteral("Splitter2"));
}

void TFrmTelemetry::BuildBottom(QFrame* panel) {
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(5, 2, 5, 3);
  grid->setHorizontalSpacing(3);
  grid->setVerticalSpacing(2);
  grid->addLayout(BuildValueBoxes(panel), 0, 0);

  scbarLog = new QScrollBar(Qt::Horizontal, panel);
  scbarLog->setObjectName(QStringLiteral("scbarLog"));
  scbarLog->setRange(0, 10000);
  scbarLog->setSingleStep(1);
  scbarLog->setPageStep(100);
  grid->addWidget(scbarLog, 1, 0);
  connect(scbarLog, &QScrollBar::valueChanged, this,
          [this](int p) { RunCommand([&] { scbarLogChange(p); }); });

  auto* commands = new QHBoxLayout;
  commands->setSpacing(4);
  LoadLogBtn = new QPushButton(tr("&Загрузить ЛОГ"), panel);
  LoadLogBtn->setObjectName(QStringLiteral("LoadLogBtn"));
  connect(LoadLogBtn, &QPushButton::clicked, this, Guarded([this] { LoadLogBtnClick(); }));
  OKBtn = new QPushButton(tr("Закрыть"), panel);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, Guarded([this] { OKBtnClick(); }));
  commands->addWidget(LoadLogBtn);
  commands->addWidget(OKBtn);
  grid->addLayout(commands, 0, 1, Qt::AlignBottom);

  grid->addWidget(BuildPlayerButtons(panel), 1, 1, Qt::AlignRight);
  grid->setColumnStretch(0, 1);
}

QLayout* TFrmTelemetry::BuildValueBoxes(QFrame* panel) {
  // The current record: slots 1 to 11, then the time.
  const char* names[] = {"edRPM", "edLoad", "edO2",  "edPW",    "edIgn",   "edMAF",
                         "edTPS", "edCLT",  "edMAT", "edVbort", "edSpeed", "edTime"};
  const QString captions[] = {tr("Об/мин"),
                              tr("Н-ка"),
                              QStringLiteral("O2"),
                              QStringLiteral("PW"),
                              QStringLiteral("IGN"),
                              QStringLiteral("MAF"),
                              QStringLiteral("TPS"),
                              QStringLiteral("CLT"),
                              QStringLiteral("MAT"),
                              QStringLiteral("Vbort"),
                              QStringLiteral("Speed"),
                              QStringLiteral("Time")};
  auto* values = new QHBoxLayout;
  values->setSpacing(3);
  for (int i = 0; i < 12; ++i) {
    auto* cell = new QVBoxLayout;
    cell->setSpacing(0);
    auto* caption = new QLabel(captions[i], panel);
    QFont small = caption->font();
    small.setPixelSize(10);
    caption->setFont(small);
    auto* edit = new QLineEdit(panel);
    edit->setObjectName(QString::fromLatin1(names[i]));
    edit->setFixedHeight(21);
    edit->setMinimumWidth(40);
    cell->addWidget(caption);
    cell->addWidget(edit);
    values->addLayout(cell, 1);
    ValueEdits[i] = edit;
  }
  return values;
}

QFrame* TFrmTelemetry::BuildPlayerButtons(QFrame* panel) {
  pnlButtons = new QFrame(panel);
  pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
  pnlButtons->setEnabled(false);
  auto* buttons = new QHBoxLayout(pnlButtons);
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->setSpacing(1);
  struct Button {
    QToolButton** field;
    const char* name;
    QStyle::StandardPixmap icon;  // SP_CustomBase: a text button
    const char* text;
    const char* tip;
    void (TFrmTelemetry::*handler)();
  };
  using S = QStyle;
  using W = TFrmTelemetry;
  const Button specs[] = {
      {&btnPlay, "btnPlay", S::SP_MediaPlay, "", QT_TR_NOOP("Воспроизвести"), &W::btnPlayClick},
      {&btnPause, "btnPause", S::SP_MediaPause, "", QT_TR_NOOP("Пауза"), &W::btnPauseClick},
      {&btnStop, "btnStop", S::SP_MediaStop, "", QT_TR_NOOP("Стоп"), &W::btnStopClick},
      {&btnToBegin, "btnToBegin", S::SP_MediaSkipBackward, "", QT_TR_NOOP("В начало"),
       &W::btnToBeginClick},
      {&btnRewind, "btnRewind", S::SP_MediaSeekBackward, "", QT_TR_NOOP("Страница назад"),
       &W::btnRewindClick},
      {&btnMinus, "btnMinus", S::SP_CustomBase, "-", QT_TR_NOOP("Запись назад"), &W::btnMinusClick},
      {&btnPlus, "btnPlus", S::SP_CustomBase, "+", QT_TR_NOOP("Запись вперёд"), &W::btnPlusClick},
      {&btnForward, "btnForward", S::SP_MediaSeekForward, "", QT_TR_NOOP("Страница вперёд"),
       &W::btnForwardClick},
      {&btnToEnd, "btnToEnd", S::SP_MediaSkipForward, "", QT_TR_NOOP("В конец"), &W::btnToEndClick},
  };
  for (const Button& b : specs) {
    auto* button = new QToolButton(pnlButtons);
    button->setObjectName(QString::fromLatin1(b.name));
    if (b.icon == QStyle::SP_CustomBase) {
      button->setText(QString::fromLatin1(b.text));
      QFont bold = button->font();
      bold.setBold(true);
      button->setFont(bold);
    } else {
      button->setIcon(style()->standardIcon(b.icon));
    }
    button->setToolTip(tr(b.tip));
    button->setFixedSize(24, 22);
    button->setAutoRaise(true);
    const auto handler = b.handler;
    connect(button, &QToolButton::clicked, this, Guarded([this, handler] { (this->*handler)(); }));
    buttons->addWidget(button);
    *b.field = button;
  }
  return pnlButtons;
}

template <typename F>
void TFrmTelemetry::ForEachChart(F f) {
  for (TPagedChart* chart : fCharts) f(chart);
}

int TFrmTelemetry::RecordCount() const {
  return TelemetryLogger ? TelemetryLogger->Records.Count() : 0;
}

void TFrmTelemetry::showEvent(QShowEvent* event) {
  // FormShow: the program's one log reader is made the first time the window shows.
  if (!TelemetryLogger) TelemetryLogger = std::make_unique<TEFILogger>();
  QWidget::showEvent(event);
}

void TFrmTelemetry::keyPressEvent(QKeyEvent* event) {
  // Enter presses the button that has the focus; otherwise "Закрыть", the default button.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    auto* focused = qobject_cast<QAbstractButton*>(focusWidget());
    if (focused) {
      if (focused->isEnabled()) focused->click();
    } else {
      OKBtn->click();
    }
    return;
  }
  QWidget::keyPressEvent(event);
}

void TFrmTelemetry::LoadLogBtnClick() {
  if (!TelemetryLogger) TelemetryLogger = std::make_unique<TEFILogger>();
  if (ODLogFile->exec() != QDialog::Accepted) return;
  const QStringList chosen = ODLogFile->selectedFiles();
  if (chosen.isEmpty()) return;
  // A file that cannot be read throws here and leaves the window as it was: combo boxes,
  // curves and position. A bad line leaves the records before it loaded: the window shows
  // exactly those, then the error box names the line.
  std::optional<ELogLineError> badLine;
  // A delimited log of another logger is read through the mapping its dialog confirms.
  std::optional<TLogColumns> mapped;
  {
    WaitCursor wait;
    try {
      bool read = false;
      mapped = LoadAnyLog(this, chosen.front(), *TelemetryLogger, read);
      if (!read) return;
    } catch (const ELogLineError& e) {
      badLine = e;
    }
  }
  const TEFILogList& records = TelemetryLogger->Records;
  // A new log starts on the first page of every chart.
  ForEachChart([&](TPagedChart* chart) {
    chart->ClearAll();
    chart->SetRecords(&records);
    chart->FirstPage();
  });

  // Item i selects record slot i whatever the names say; item 0 is the blank.
  QStringList items{QStringLiteral(" ")};
  // The names come from the file: control characters are shown escaped.
  for (const QString& name : TelemetryLogger->ColumnNames.mid(1))
    items.append(EscapeControls(name));
  for (int k = 1; k <= 12; ++k) {
    QComboBox* combo = fCombos[k - 1];
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(items);
    // cb1Param .. cb11Param show slots 1 .. 11, cb12Param the blank. A log with fewer
    // columns leaves the boxes without an item to select without a selection.
    int wanted = k <= 11 ? k : 0;
    // The slots a delimited log has no column for stay empty.
    if (mapped && !mapped->Has(static_cast<LiveSlot>(wanted))) wanted = 0;
    combo->setCurrentIndex(wanted < combo->count() ? wanted : -1);
  }
  for (int k = 1; k <= 12; ++k) FillCurveFromCombo(k);

  const int previous = scbarLog->value();
  scbarLog->setMaximum(records.Count());
  scbarLog->setValue(1);
  // A new log at the position the old one had would otherwise leave the old log's record
  // in the value boxes and no cursor.
  if (scbarLog->value() == previous) scbarLogChange(scbarLog->value());
  scbarLog->setEnabled(true);
  pnlButtons->setEnabled(true);
  if (badLine) throw *badLine;
  // A header alone, or only comments: nothing to play back, and the user hears so.
  if (records.Count() == 0) throw ERuntimeError(tr("В ЛОГе нет ни одной записи").toStdString());
}

void TFrmTelemetry::OKBtnClick() {
  ForEachChart([](TPagedChart* chart) { chart->ClearAll(); });
  ODLogFile->selectFile(QString());
  scbarLog->setEnabled(false);
  pnlButtons->setEnabled(false);
  close();
}

void TFrmTelemetry::FillCurveFromCombo(int k) {
  TPagedChart* chart = fCharts[(k - 1) / 4];
  const int curve = (k - 1) % 4;
  // The blank item, and no selection at all, leave the curve empty.
  chart->FillCurve(curve, fCombos[k - 1]->currentIndex());
}

void TFrmTelemetry::cbParamChange(int k) {
  FillCurveFromCombo(k);
}

void TFrmTelemetry::cbGrafTicksClick(int k) {
  fCharts[(k - 1) / 4]->SetValueLabelsVisible((k - 1) % 4, fTickBoxes[k - 1]->isChecked());
}

void TFrmTelemetry::scbarLogChange(int p) {
  const int maximum = scbarLog->maximum();
  // Page follow-up: at most one page per change, forward then back.
  if (p < maximum && DualChart1->Page() < p / kPointsPerPage + 1)
    ForEachChart([](TPagedChart* chart) { chart->NextPage(); });
  if (p / kPointsPerPage + 1 < DualChart1->Page())
    ForEachChart([](TPagedChart* chart) { chart->PreviousPage(); });
  // Without a log, and at the end of the bar, there is no record to show.
  if (p < 0 || p >= RecordCount() || p >= maximum) return;
  ShowRecord(p);
}

void TFrmTelemetry::ShowRecord(int p) {
  const LiveRecord& record = TelemetryLogger->Records[p];
  ForEachChart([&](TPagedChart* chart) { chart->DrawCursor(record[kTime]); });
  for (int slot = kRPM; slot <= kSPEED; ++slot)
    ValueEdits[slot - 1]->setText(FloatToStr(record[slot]));
  ValueEdits[11]->setText(FloatToStr(record[kTime]));
}

void TFrmTelemetry::btnPlayClick() {
  StopRequested = false;
  while (scbarLog->value() < scbarLog->maximum() - 1 && !StopRequested) {
    scbarLog->setValue(scbarLog->value() + 1);
    SleepMs(20);
    QCoreApplication::processEvents();
  }
}

void TFrmTelemetry::btnPauseClick() {
  StopRequested = true;
}

void TFrmTelemetry::btnStopClick() {
  StopRequested = true;
  scbarLog->setValue(1);
}

void TFrmTelemetry::btnToBeginClick() {
  ForEachChart([](TPagedChart* chart) { chart->FirstPage(); });
  scbarLog->setValue(scbarLog->minimum() + 1);
}

void TFrmTelemetry::btnRewindClick() {
  // One page back, to a record near the end of that page; on the first page the position
  // goes no further forward than the first records.
  const int page = DualChart1->Page();
  ForEachChart([](TPagedChart* chart) { chart->PreviousPage(); });
  if (DualChart1->Page() < page)
    SetPosition(DualChart1->Page() * kPointsPerPage - 3);
  else
    SetPosition(std::min(scbarLog->value(), scbarLog->minimum() + 1));
}

void TFrmTelemetry::SetPosition(int p) {
  // A page button has moved the charts: the cursor and the value boxes follow even when
  // the position itself stays.
  const int before = scbarLog->value();
  scbarLog->setValue(p);
  if (scbarLog->value() == before) scbarLogChange(before);
}

void TFrmTelemetry::btnMinusClick() {
  if (scbarLog->value() > scbarLog->minimum()) scbarLog->setValue(scbarLog->value() - 1);
}

void TFrmTelemetry::btnPlusClick() {
  if (scbarLog->value() < scbarLog->maximum() - 1) scbarLog->setValue(scbarLog->value() + 1);
}

void TFrmTelemetry::btnForwardClick() {
  // One page forward, to a record near the start of that page; on the last page, to the
  // last record.
  const int page = DualChart1->Page();
  ForEachChart([](TPagedChart* chart) { chart->NextPage(); });
  const int first = (DualChart1->Page() - 1) * kPointsPerPage;
  if (DualChart1->Page() > page && first + 2 < scbarLog->maximum())
    SetPosition(first + 2);
  else
    SetPosition(scbarLog->maximum() - 1);
}

void TFrmTelemetry::btnToEndClick() {
  ForEachChart([](TPagedChart* chart) { chart->LastPage(); });
  scbarLog->setValue(scbarLog->maximum() - 1);
}
