#include "app/mainfrm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSettings>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ErrorBox.h"
#include "app/PieGauge.h"
#include "common/Clock.h"
#include "editors/MapEditors.h"
#include "link/AdapterCommands.h"
#include "link/LinkPanel.h"
#include "widgets/StripLabels.h"

namespace {
constexpr int kClientWidth = 711;
constexpr int kStripHeight = 33;
constexpr int kPagesHeight = 424;
constexpr int kLiveHeight = 51;

QFrame* Separator(QWidget* parent, const char* name, int left) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(QString::fromLatin1(name));
  frame->setFrameStyle(QFrame::VLine | QFrame::Sunken);
  frame->setGeometry(left, 2, 4, kStripHeight - 4);
  return frame;
}

template <typename LabelType = QLabel>
LabelType* Label(QWidget* parent, const char* name, const QString& text, int left, int top,
                 bool bold = false) {
  auto* label = new LabelType(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  QFont font = label->font();
  font.setBold(bold);
  label->setFont(font);
  label->move(left, top);
  label->adjustSize();
  return label;
}

void SetTextColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, color);
  widget->setPalette(palette);
}
}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("-= Tarvelo=-  DEMO"));
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  setFont(font);

  auto* central = new QWidget(this);
  central->setFixedSize(kClientWidth, kStripHeight + kPagesHeight + kLiveHeight);
  setCentralWidget(central);
  auto* strip = new QFrame(central);
  strip->setObjectName(QStringLiteral("pnlIconPanel"));
  strip->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  strip->setGeometry(0, 0, kClientWidth, kStripHeight);
  auto* mainPanel = new QWidget(central);
  mainPanel->setObjectName(QStringLiteral("pnlMainPanel"));
  mainPanel->setGeometry(0, kStripHeight, kClientWidth, kPagesHeight + kLiveHeight);

  BuildStatusStrip(strip);
  BuildPages(mainPanel);
  auto* livePanel = new QFrame(mainPanel);
  livePanel->setObjectName(QStringLiteral("Panel1"));
  livePanel->setGeometry(0, kPagesHeight, kClientWidth, kLiveHeight);
  BuildLiveStrip(livePanel);
  BuildDialogs();
  BuildMenu();

  // FormCreate: the adapter commands wait for a model or profile; the image object.
  N8->setEnabled(false);
  BIN1->setEnabled(false);
  fEFI = std::make_unique<TEFIOperator>(true);
  // The editor pages; they also set up the lambda panel and draw the sensor line.
  fMaps = new TMapEditors(*this);
  fLink = new TLinkPanel(*this);
  // Label16 shows the adapter port's name.
  fAdapter = new TAdapterCommands(*this);

  layout()->setSizeConstraint(QLayout::SetFixedSize);
  RestorePlacement();
}

TfrmMain::~TfrmMain() {
  // The parts go first: their handlers use the image object and the status strip.
  delete fAdapter;
  delete fLink;
  delete fMaps;
}

void TfrmMain::BuildStatusStrip(QWidget* strip) {
  pgLoadTo = new QProgressBar(strip);
  pgLoadTo->setObjectName(QStringLiteral("pgLoadTo"));
  pgLoadTo->setGeometry(3, 3, 84, 27);
  pgLoadTo->setRange(0, 100);
  pgLoadTo->setValue(10);
  pgLoadTo->setVisible(false);

  lLink = Label(strip, "lLink", QStringLiteral("Нет соединения !"), 90, 10);
  lLink->setFixedWidth(180);
  SetTextColor(lLink, Qt::red);

  sbStop = new QToolButton(strip);
  sbStop->setObjectName(QStringLiteral("sbStop"));
  sbStop->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
  sbStop->setToolTip(QStringLiteral("Остановить загрузку"));
  sbStop->setAutoRaise(true);
  sbStop->setGeometry(246, 5, 23, 22);
  sbStop->setVisible(false);
  // Shown only during a transfer, whose status texts are short; it stands over the label.
  sbStop->raise();

  Separator(strip, "Panel3", 272);
  // "COM1 (симулятор)" and long device names fit in a smaller font.
  Label16 = Label<TFittingLabel>(strip, "Label16", QStringLiteral("COM1"), 278, 10);
  Label16->setFixedWidth(104);
  Separator(strip, "Panel5", 384);

  Gauge1 = new TPieGauge(strip);
  Gauge1->setObjectName(QStringLiteral("Gauge1"));
  Gauge1->SetMaxValue(30);
  Gauge1->setGeometry(390, 4, 25, 25);
  Gauge1->setVisible(false);

  sbConnect = new QToolButton(strip);
  sbConnect->setObjectName(QStringLiteral("sbConnect"));
  sbConnect->setCheckable(true);
  sbConnect->setAutoRaise(true);
  sbConnect->setIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
  sbConnect->setToolTip(QStringLiteral("Подключиться к Мотронику"));
  sbConnect->setGeometry(417, 5, 23, 22);
  sbConnect->setVisible(false);

  Separator(strip, "Panel6", 442);

  sbWriteLog = new QToolButton(strip);
  sbWriteLog->setObjectName(QStringLiteral("sbWriteLog"));
  sbWriteLog->setCheckable(true);
  sbWriteLog->setText(QStringLiteral("ЛОГ"));
  QFont bold = sbWriteLog->font();
  bold.setBold(true);
  sbWriteLog->setFont(bold);
  sbWriteLog->setGeometry(448, 5, 36, 22);

  sbColorizeTable = new QToolButton(strip);
  sbColorizeTable->setObjectName(QStringLiteral("sbColorizeTable"));
  sbColorizeTable->setCheckable(true);
  sbColorizeTable->setAutoRaise(true);
  sbColorizeTable->setToolTip(QStringLiteral("Включить цветную градацию"));
  sbColorizeTable->setGeometry(485, 5, 23, 22);
  sbColorizeTable->setVisible(false);

  // The version and file captions sit right of their bold captions, however wide the
  // font makes them.
  QLabel* caption = Label(strip, "Label1", QStringLiteral("Номер мотроника:"), 509, 3, true);
  const int valueLeft = caption->x() + caption->width() + 3;
  lVersion = Label(strip, "lVersion", QStringLiteral("Не выбрана"), valueLeft, 3, true);
  QFont underline = lVersion->font();
  underline.setUnderline(true);
  lVersion->setFont(underline);
  lVersion->setFixedWidth(kClientWidth - valueLeft - 2);
  SetTextColor(lVersion, QColor(128, 0, 0));
  QLabel* fileCaption = Label(strip, "Label21", QStringLiteral("Файл:"), 509, 17, true);
  // The file name starts right after its shorter caption, for room; a name still too long
  // keeps its start and extension, and the tooltip has the whole path.
  const int nameLeft = fileCaption->x() + fileCaption->width() + 3;
  lBinFName = Label<TElidedLabel>(strip, "lBinFName", QString(), nameLeft, 17);
  lBinFName->setFixedWidth(kClientWidth - nameLeft - 2);
}

void TfrmMain::BuildPages(QWidget* area) {
  PageControl1 = new QTabWidget(area);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->setGeometry(0, 0, kClientWidth, kPagesHeight);
  auto page = [this](const char* name, const QString& caption) {
    auto* sheet = new QWidget;
    sheet->setObjectName(QString::fromLatin1(name));
    PageControl1->addTab(sheet, caption);
    return sheet;
  };
  TabSheet1 = page("TabSheet1", QStringLiteral("Топливо"));
  TabSheet2 = page("TabSheet2", QStringLiteral("Зажигание"));
  TabSheet4 = page("TabSheet4", QStringLiteral("Х.Х."));
  TabSheet5 = page("TabSheet5", QStringLiteral("Макс. нагрузка"));
  TabSheet3 = page("TabSheet3", QStringLiteral("Прочие настройки"));
  TabSheet7 = page("TabSheet7", QStringLiteral("ДМРВ"));
  TabSheet6 = page("TabSheet6", QStringLiteral("Диагностика"));
  PageControl1->setCurrentWidget(TabSheet1);
}

void TfrmMain::BuildLiveStrip(QWidget* panel) {
  struct Box {
    const char* group;
    const char* caption;
    const char* edit;
  };
  static const Box boxes[11] = {
      {"GroupBox5", "Обороты", "edtRPM"},    {"GroupBox4", "Нагрузка", "edtLOAD"},
      {"GroupBox7", "Лямбда", "edtO2"},      {"GroupBox11", "Вр. впр", "edtPW"},
      {"GroupBox10", "УОЗ", "edtSAng"},      {"GroupBox6", "ДМРВ", "edtMAF"},
      {"GroupBox12", "Дроссель", "edtTPS"},  {"GroupBox9", "Т охл. ж.", "edtCLT"},
      {"GroupBox8", "Т впуск", "edtMAT"},    {"GroupBox13", "V борт", "edtVbort"},
      {"GroupBox14", "Скорость", "edtSpeed"}};
  for (int i = 0; i < 11; ++i) {
    auto* group = new QGroupBox(QString::fromUtf8(boxes[i].caption), panel);
    group->setObjectName(QString::fromLatin1(boxes[i].group));
    group->setGeometry(2 + i * 64, 2, 63, 47);
    auto* edit = new QLineEdit(QStringLiteral("0"), group);
    edit->setObjectName(QString::fromLatin1(boxes[i].edit));
    edit->setGeometry(7, 19, 49, 21);
    LiveEdits[i] = edit;
  }
}

void TfrmMain::SetLinkStatus(const QString& text, const QColor& color) {
  SetTextColor(lLink, color);
  lLink->setText(text);
}

void TfrmMain::SetLinkStatus(const QString& text) {
  lLink->setText(text);
}

void TfrmMain::FillGrids(bool alreadyDecoded) {
  fMaps->FillGrids(alreadyDecoded);
}

void TfrmMain::CollectGrids(uint8_t mode) {
  fMaps->CollectGrids(mode);
}

void TfrmMain::ShowFileName(const QString& path) {
  // The name after the last folder separator (either kind, as a user may type either).
  QString name = path;
  const auto cut =
      std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
  lBinFName->setText(name.mid(cut + 1));
  lBinFName->setToolTip(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

void TfrmMain::RestorePlacement() {
  QSettings settings(QStringLiteral("Tarvelo"), QStringLiteral("Tarvelo"));
  const QByteArray geometry = settings.value(QStringLiteral("frmMain/geometry")).toByteArray();
  if (geometry.isEmpty() || !restoreGeometry(geometry)) move(327, 141);
}

void TfrmMain::SavePlacement() const {
  QSettings settings(QStringLiteral("Tarvelo"), QStringLiteral("Tarvelo"));
  settings.setValue(QStringLiteral("frmMain/geometry"), saveGeometry());
}

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (fShownOnce) return;
  fShownOnce = true;
  // FormShow: the model is asked for once, after all five windows exist and the window
  // loop runs.
  QTimer::singleShot(0, this, [this] {
    if (SelectModel() && !fStartFile.isEmpty()) RunCommand([this] { OpenFile(fStartFile); });
  });
}

void TfrmMain::StopActivities() {
  // A diagnostic connection ends with the window: the line is closed, the thread joined.
  fLink->EndConnection();
  if (LiveLoopActive) {
    LiveLoopActive = 0;
    SleepMs(100);
  }
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  // FormClose: a running live loop sees the cleared flag and ends.
  StopActivities();
  SavePlacement();
  event->accept();
  // The program ends with the main window: the dashboard and the telemetry window go with it,
  // so the window loop ends as the last window closes and the port settings are written.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this && window->isVisible()) window->close();
  }
}
