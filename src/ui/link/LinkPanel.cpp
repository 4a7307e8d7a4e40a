#include "ui/link/LinkPanel.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <cerrno>

#include "common/Clock.h"
#include "link/Comm.h"
#include "link/FaultCodes.h"
#include "link/LatencyTimer.h"
#include "link/LinkTrace.h"
#include "link/PortSettings.h"
#include "link/ScanThread.h"
#include "link/ScanUtils.h"
#include "link/SerialDeviceRegistry.h"
#include "ui/link/PortTexts.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/PieGauge.h"
#include "ui/widgets/StatusStrip.h"

namespace {
int gRestMs = 1000;  // each of the two rests before the wake-up
}  // namespace

void TLinkPanel::SetRestMs(int ms) {
  gRestMs = ms / 2;
}

TLinkPanel::TLinkPanel(QObject* parent, const Views& views) : QObject(parent), fViews(views) {
  setObjectName(QStringLiteral("LinkPanel"));
  auto* panel = new QFrame(views.page);
  panel->setObjectName(QStringLiteral("pnlTS"));
  panel->setGeometry(4, 4, 697, 390);
  panel->setEnabled(false);
  pnlTS = panel;
  memTS = new QPlainTextEdit(panel);
  memTS->setObjectName(QStringLiteral("memTS"));
  memTS->setGeometry(4, 4, 500, 380);
  memTS->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memTS->setLineWrapMode(QPlainTextEdit::NoWrap);
  btnReadTS = new QPushButton(tr("Чтение кодов ошибок"), panel);
  btnReadTS->setObjectName(QStringLiteral("btnReadTS"));
  btnReadTS->setGeometry(514, 4, 176, 27);
  btnClearTS = new QPushButton(tr("Стереть ошибки"), panel);
  btnClearTS->setObjectName(QStringLiteral("btnClearTS"));
  btnClearTS->setGeometry(514, 38, 176, 27);

  // The connect button is shown: the user must be able to start a connection.
  views.strip->sbConnect->setVisible(true);
  connect(views.strip->sbConnect, &QToolButton::clicked, this,
          Guarded([this] { sbConnectClick(); }));
  connect(btnReadTS, &QPushButton::clicked, this, Guarded([this] { btnReadTSClick(); }));
  connect(btnClearTS, &QPushButton::clicked, this, Guarded([this] { btnClearTSClick(); }));
}

TLinkPanel::~TLinkPanel() {
  EndConnection();
}

void TLinkPanel::AddLine(const QString& line) {
  fLines.append(line);
  memTS->setPlainText(fLines.join(QLatin1Char('\n')));
  memTS->moveCursor(QTextCursor::End);
}

void TLinkPanel::btnReadTSClick() {
  fLines.clear();
  AddLine(tr("Чтение TC ..."));
  PendingRequest = LinkRequest::ReadCodes;
}

void TLinkPanel::btnClearTSClick() {
  AddLine(tr("Стирание TC ..."));
  PendingRequest = LinkRequest::ClearCodes;
}

void TLinkPanel::sbConnectClick() {
  QToolButton* button = fViews.strip->sbConnect;
  if (button->isChecked()) {
    if (fLineBusy && fLineBusy()) {
      button->setChecked(false);
      return;
    }
    button->setToolTip(tr("Отключиться от Мотроника"));
    if (!fConnected)
      StartConnection();
    else
      WithdrawEnd();
  } else {
    button->setToolTip(tr("Подключиться к Мотронику"));
    PendingRequest = LinkRequest::End;
    fViews.strip->Gauge1->setVisible(false);
  }
}

void TLinkPanel::WithdrawEnd() {
  // The user pressed "connect" last: the end he asked for while the connection was still
  // waking (or before its next block) is taken back, so the connection goes on as if the
  // button had never come up. An end request already sent to the unit cannot be recalled:
  // the unit falls silent and the connection ends as released.
  uint8_t end = LinkRequest::End;
  if (PendingRequest.compare_exchange_strong(end, LinkRequest::None))
    fViews.strip->Gauge1->setVisible(true);
}

void TLinkPanel::StartConnection() {
  // A new connection starts with no request: one left from an earlier connection that
  // ended before sending it (a release during a failed wake-up, a press just before a
  // lost link) would otherwise go to this unit unasked.
  PendingRequest = LinkRequest::None;
  ScanUtils::OpenLine(IniPort, IniParity, IniWakeLine);
  if (!PrepareLine()) {
    ScanUtils::CloseLine();
    fViews.strip->sbConnect->setChecked(false);
    fViews.strip->sbConnect->setToolTip(tr("Подключиться к Мотронику"));
    return;
  }
  // The line rests at its opened levels (RTS cleared, DTR set) before the wake-up; the
  // window is drawn but does not respond meanwhile.
  QWidget* window = fViews.strip->window();
  window->repaint();
  SleepMs(gRestMs);
  window->repaint();
  SleepMs(gRestMs);
  // The previous connection's thread has sent its last notification; it is released
  // once it has returned.
  if (fScanThread) {
    fScanThread->wait();
    delete fScanThread;
  }
  fScanThread = new TScanThread;
  connect(fScanThread, &TScanThread::LinkNotify, this, &TLinkPanel::onLinkMessage,
          Qt::BlockingQueuedConnection);
  fConnected = true;
  fScanThread->start();
  fViews.strip->Gauge1->setVisible(true);
  UpdateGauge1();
}

bool TLinkPanel::PrepareLine() {
  QWidget* window = fViews.strip->window();
  const QString device = PortDeviceName(PortName(IniPort));
  if (!Comm::IsOpen(IniPort)) {
    // Said in words; the connection then runs its course on the closed line as before and
    // ends in "Нет соединения!".
    const int error = LastSerialOpenError();
    PortTexts::Warn(window, "PortOpenFailed",
                    PortTexts::OpenFailure(ExplainOpenFailure(SysRoot(), LinkPortUser(), device,
                                                              error ? error : ENODEV)));
    return true;
  }
  if (!IsRegisteredSerialDevice(device)) {
    const TLatencyFix fix = LowerLatencyTimer(SysRoot(), LinkPortUser(), device);
    if (fix.result == TLatencyFix::CannotSet && fToldLatency.insert(device).second)
      PortTexts::Warn(window, "LatencyTimerHigh",
                      tr("Таймер задержки адаптера %1 стоит на %2 мс: ответы блока будут "
                         "запаздывать, а программа не может его изменить. Установите 1 мс "
                         "командой\n\n%3\n\nили установите правило udev из пакета и "
                         "переподключите адаптер.")
                          .arg(device)
                          .arg(fix.wasMs)
                          .arg(fix.command));
  }
  if (WakeLineFor(IniWakeLine) != TWakeLine::Break) return true;
  const ScanUtils::TBreakCheck check = ScanUtils::CheckBreak();
  if (check == ScanUtils::TBreakCheck::Holds) return true;
  QString driver = IsRegisteredSerialDevice(device)
                       ? device
                       : DescribeSerialPort(SysRoot(), LinkPortUser(), device).driver;
  if (driver.isEmpty()) driver = device;
  PortTexts::Warn(window, "BreakNotHeld",
                  (check == ScanUtils::TBreakCheck::Refused
                       ? tr("Драйвер %1 не умеет удерживать разрыв линии (break).")
                       : tr("Драйвер %1 только имитирует короткий разрыв линии (break) и не "
                            "может его удерживать."))
                          .arg(driver) +
                      QLatin1Char(' ') +
                      tr("Пробуждение разрывом на линии K (L-LINE=2) с этим адаптером "
                         "невозможно: выберите пробуждение по DTR или RTS, если кабель их "
                         "выводит, или другой адаптер."));
  return false;
}

void TLinkPanel::SaveSessionTrace() {
  const auto trace = LastLinkTrace();
  if (IniTrace != 1 || !trace) return;
  const QString folder = fTraceFolder ? fTraceFolder() : QDir::currentPath();
  const QString name =
      QStringLiteral("kline-%1.txt")
          .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HH.mm.ss.zzz")));
  trace->Save(QDir(folder).filePath(name));
}

void TLinkPanel::onLinkMessage(int code, const QByteArray& data) {
  RunCommand([&] {
    switch (code) {
      case LinkCode::Connected:
        onConnect();
        break;
      case LinkCode::Acknowledge:
        UpdateGauge1();
        fViews.portSetup->setEnabled(false);
        pnlTS->setEnabled(true);
        break;
      case LinkCode::FaultCode:
        onFaultCode(data);
        break;
      case LinkCode::Disconnected:
        onDisConnect();
        break;
      case LinkCode::Finished:
        fConnected = false;
        break;
      default:
        break;
    }
  });
}

void TLinkPanel::onConnect() {
  fViews.strip->Gauge1->setVisible(true);
  UpdateGauge1();
  fViews.strip->SetLinkStatus(tr("Соединение установлено ..."), Qt::black);
}

void TLinkPanel::onDisConnect() {
  fViews.strip->Gauge1->setVisible(false);
  ScanUtils::CloseLine();
  SaveSessionTrace();
  fViews.strip->sbConnect->setChecked(false);
  fViews.strip->sbConnect->setToolTip(tr("Подключиться к Мотронику"));
  fViews.portSetup->setEnabled(true);
  fViews.strip->SetLinkStatus(tr("Нет соединения!"), Qt::red);
  pnlTS->setEnabled(false);
  // The fault-code buttons are disabled now; a request made before is never sent.
  PendingRequest = LinkRequest::None;
}

void TLinkPanel::onFaultCode(const QByteArray& data) {
  AddLine(FaultCodeLine(data));
}

void TLinkPanel::UpdateGauge1() {
  TPieGauge* gauge = fViews.strip->Gauge1;
  gauge->SetProgress(gauge->Progress() >= gauge->MaxValue() ? 0 : gauge->Progress() + 1);
}

void TLinkPanel::EndConnection() {
  if (!fScanThread) return;
  // Closing the line cancels every wait; the thread's last notifications are handled
  // while it is joined.
  EndScanThread(fScanThread);
  delete fScanThread;
  fScanThread = nullptr;
  fConnected = false;
}
