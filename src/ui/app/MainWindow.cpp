#include "ui/app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "calibration/CalibrationSession.h"
#include "common/Clock.h"
#include "ui/analysis/LogAnalysisWindow.h"
#include "ui/compare/CompareCommands.h"
#include "ui/editors/EditCommands.h"
#include "ui/editors/MapEditors.h"
#include "ui/link/AdapterCommands.h"
#include "ui/link/LinkMenu.h"
#include "ui/link/LinkPanel.h"
#include "ui/surface/SurfaceWindow.h"
#include "ui/telemetry/LiveLoop.h"
#include "ui/tuned/TunedImageCommands.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/PieGauge.h"
#include "ui/widgets/StatusStrip.h"
#include "ui/widgets/UserStore.h"
#include "ui/widgets/WindowPlacement.h"

namespace {
constexpr int kClientWidth = TStatusStrip::kWidth;
constexpr int kStripHeight = TStatusStrip::kHeight;
constexpr int kPagesHeight = 424;
constexpr int kLiveHeight = 51;

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
  fStrip = new TStatusStrip(central);
  fStrip->setGeometry(0, 0, kClientWidth, kStripHeight);
  auto* mainPanel = new QWidget(central);
  mainPanel->setObjectName(QStringLiteral("pnlMainPanel"));
  mainPanel->setGeometry(0, kStripHeight, kClientWidth, kPagesHeight + kLiveHeight);

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
  fSession = new TCalibrationSession(this);
  fSession->setObjectName(QStringLiteral("CalibrationSession"));
  CreateEditors();
  CreateLinkParts();
  CreateFeatureParts();

  layout()->setSizeConstraint(QLayout::SetFixedSize);
  RestorePlacement();
}

void TfrmMain::CreateEditors() {
  // The editor pages; they also set up the lambda panel and draw the sensor line.
  TMapEditors::Pages pages;
  pages.control = PageControl1;
  pages.fuel = TabSheet1;
  pages.ignition = TabSheet2;
  pages.settings = TabSheet3;
  pages.idle = TabSheet4;
  pages.fullLoad = TabSheet5;
  pages.maf = TabSheet7;
  fMaps = new TMapEditors(this, *fSession, pages, *fStrip, fLiveMark);
  fTuned = new TTunedImageCommands(this, *fSession, [this] { CollectGrids(1); },
                                   {this, fStrip, fRecent, sdSaveFile, actSaveTunedBin});
  fEdit = new TEditCommands(this, *fMaps, *fStrip, PageControl1);
  fEdit->SetTablesLoaded([this] { return fSession->Loaded(); });
  fEdit->FillMenu(mnuEdit);
}

// The diagnostic link and the adapter share the line: each waits while the other holds it.
void TfrmMain::CreateLinkParts() {
  fLink = new TLinkPanel(this, {fStrip, N14, TabSheet6});
  // Label16 shows the adapter port's name.
  fAdapter = new TAdapterCommands(this, {&fSession->Efi(), fStrip, N7, N8, N16, odOpenBin});
  fLink->SetLineBusy([this] { return fAdapter->Busy(); });
  fAdapter->SetLineBusy([this] { return fLink->Connected(); });
  fLinkMenu->SetLineBusy([this] { return fLink->Connected() || fAdapter->Busy(); });
  // With TRACE=1 each session's trace goes beside the logs.
  fLink->SetTraceFolder([this] { return sdLogFile->directory().absolutePath(); });
  fAdapter->SetEditedImage([this] { return HasTunedChanges(); },
                           [this]() -> std::optional<QByteArray> {
                             bool checksumKept = false;
                             const auto image = fTuned->Build(checksumKept);
                             if (!image || !fTuned->ConfirmAxes()) return std::nullopt;
                             return QByteArray(reinterpret_cast<const char*>(image->data()),
                                               static_cast<qsizetype>(image->size()));
                           });
  connect(fAdapter, &TAdapterCommands::ImageRead, this, [this] {
    UpdateImageCommands();
    FillGrids(false);
  });
}

// The log analysis, the live loop and the comparison.
void TfrmMain::CreateFeatureParts() {
  // The log analysis window; the program hands it the telemetry window's log.
  fLogAnalysis = new TfrmLogAnalysis(this, *fMaps);
  new TWindowPlacement(fLogAnalysis, QStringLiteral("frmLogAnalysis"), this);
  TLiveLoop::Views live;
  live.edits = LiveEdits;
  live.pages = PageControl1;
  live.fuelPage = TabSheet1;
  live.ignitionPage = TabSheet2;
  live.maps = fMaps;
  live.strip = fStrip;
  live.writeLog = N15;
  live.virtualEngine = actVirtualEngine;
  live.logDialog = sdLogFile;
  fLive = new TLiveLoop(this, live, fLiveMark);
  connect(fLive, &TLiveLoop::RecordShown, this, &TfrmMain::LiveRecordShown);
  connect(fStrip->sbWriteLog, &QToolButton::clicked, this,
          Guarded([this] { fLive->sbWriteLogClick(); }));
  fCompare = new TCompareCommands(this, {this, &fSession->Efi(), fMaps, fStrip, PageControl1,
                                         odCompare, actCompare, actCompareEnd});
}

TfrmMain::~TfrmMain() {
  // The parts go first: their handlers use the image object and the status strip. The log
  // analysis window leaves the map grids before the editors go.
  delete frm3D;
  delete fCompare;
  delete fLogAnalysis;
  delete fEdit;
  delete fAdapter;
  delete fLink;
  delete fMaps;
  delete fTuned;
  delete fSession;
}

TEFIOperator& TfrmMain::EFI() {
  return fSession->Efi();
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
  TabSheet1 = page("TabSheet1", tr("Топливо"));
  TabSheet2 = page("TabSheet2", tr("Зажигание"));
  TabSheet4 = page("TabSheet4", tr("Х.Х."));
  TabSheet5 = page("TabSheet5", tr("Макс. нагрузка"));
  TabSheet3 = page("TabSheet3", tr("Прочие настройки"));
  TabSheet7 = page("TabSheet7", tr("ДМРВ"));
  TabSheet6 = page("TabSheet6", tr("Диагностика"));
  PageControl1->setCurrentWidget(TabSheet1);
}

void TfrmMain::BuildLiveStrip(QWidget* panel) {
  struct Box {
    const char* group;
    const char* caption;
    const char* edit;
  };
  static const Box boxes[11] = {{"GroupBox5", QT_TR_NOOP("Обороты"), "edtRPM"},
                                {"GroupBox4", QT_TR_NOOP("Нагрузка"), "edtLOAD"},
                                {"GroupBox7", QT_TR_NOOP("Лямбда"), "edtO2"},
                                {"GroupBox11", QT_TR_NOOP("Вр. впр"), "edtPW"},
                                {"GroupBox10", QT_TR_NOOP("УОЗ"), "edtSAng"},
                                {"GroupBox6", QT_TR_NOOP("ДМРВ"), "edtMAF"},
                                {"GroupBox12", QT_TR_NOOP("Дроссель"), "edtTPS"},
                                {"GroupBox9", QT_TR_NOOP("Т охл. ж."), "edtCLT"},
                                {"GroupBox8", QT_TR_NOOP("Т впуск"), "edtMAT"},
                                {"GroupBox13", QT_TR_NOOP("V борт"), "edtVbort"},
                                {"GroupBox14", QT_TR_NOOP("Скорость"), "edtSpeed"}};
  for (int i = 0; i < 11; ++i) {
    auto* group = new QGroupBox(tr(boxes[i].caption), panel);
    group->setObjectName(QString::fromLatin1(boxes[i].group));
    group->setGeometry(2 + i * 64, 2, 63, 47);
    auto* edit = new QLineEdit(QStringLiteral("0"), group);
    edit->setObjectName(QString::fromLatin1(boxes[i].edit));
    edit->setGeometry(7, 19, 49, 21);
    LiveEdits[i] = edit;
  }
}

void TfrmMain::FillGrids(bool alreadyDecoded) {
  // The decode happens here, so that the state right after it is kept before the editors
  // show (and may later change) the tables.
  if (alreadyDecoded)
    fSession->DropLoadedImage();
  else if (!fSession->DecodeHeld())
    return;
  fMaps->FillGrids();
}

void TfrmMain::CollectGrids(uint8_t mode) {
  fMaps->CollectGrids(mode);
}

void TfrmMain::act3DClick() {
  if (!frm3D) {
    frm3D = new TfrmSurface(*fMaps, PageControl1, TabSheet1, TabSheet2, fLiveMark, this);
    new TWindowPlacement(frm3D, QStringLiteral("frm3D"), this);
  }
  frm3D->show();
  frm3D->raise();
  frm3D->activateWindow();
}

void TfrmMain::RestorePlacement() {
  QSettings settings = UserStore();
  const QByteArray geometry = settings.value(QStringLiteral("frmMain/geometry")).toByteArray();
  if (geometry.isEmpty() || !restoreGeometry(geometry)) move(327, 141);
}

void TfrmMain::SavePlacement() const {
  QSettings settings = UserStore();
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
  fLive->Stop();
}

void TfrmMain::SetTelemetryLog(std::function<std::vector<LiveRecord>()> log) {
  fLogAnalysis->SetTelemetryLog(std::move(log));
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  // Calibration changes not yet saved are saved, discarded or keep the window open.
  bool mayClose = true;
  RunCommand([&] { mayClose = ConfirmDiscard(); });
  if (!mayClose) {
    event->ignore();
    return;
  }
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
