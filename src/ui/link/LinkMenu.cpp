#include "ui/link/LinkMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>

#include "link/CableTest.h"
#include "link/LatencyTimer.h"
#include "link/LinkTrace.h"
#include "link/PortSettings.h"
#include "link/SerialDeviceRegistry.h"
#include "ui/link/DiagPortDialog.h"
#include "ui/link/PortTexts.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/FileDialogs.h"

TLinkMenu::TLinkMenu(QWidget* window, QMenu* menu) : QObject(window), fWindow(window) {
  setObjectName(QStringLiteral("LinkMenu"));
  const auto item = [&](const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
  };
  actDiagPort = item("actDiagPort", tr("Порт диагностики..."));
  actCableTest = item("actCableTest", tr("Проверка кабеля"));
  actSaveLinkTrace = item("actSaveLinkTrace", tr("Сохранить журнал обмена"));
  frmDiagPort = new TfrmDiagPort(window);
  frmCableTest = new QMessageBox(QMessageBox::Information, tr("Проверка кабеля"), QString(),
                                 QMessageBox::Ok, window);
  frmCableTest->setObjectName(QStringLiteral("frmCableTest"));
  sdLinkTrace = MakeFileDialog(window, "sdLinkTrace", true, tr("Сохранить журнал обмена"),
                               {tr("Текстовые файлы (*.txt)"), tr("Все файлы (*.*)")}, "txt");
  connect(actDiagPort, &QAction::triggered, this, Guarded([this] { actDiagPortClick(); }));
  connect(actCableTest, &QAction::triggered, this, Guarded([this] { actCableTestClick(); }));
  connect(actSaveLinkTrace, &QAction::triggered, this,
          Guarded([this] { actSaveLinkTraceClick(); }));
}

void TLinkMenu::actDiagPortClick() {
  frmDiagPort->exec();
}

void TLinkMenu::actCableTestClick() {
  if (fTesting) return;
  if (fLineBusy && fLineBusy()) {
    PortTexts::Warn(fWindow, "CableTestLineBusy",
                    tr("Линия занята: сначала завершите соединение или обмен с адаптером."));
    return;
  }
  const QString port = PortName(IniPort);
  const QString device = PortDeviceName(port);
  auto line = OpenSerialDevice(device);
  if (!line) {
    PortTexts::Warn(fWindow, "CableTestOpenFailed",
                    PortTexts::OpenFailure(ExplainOpenFailure(SysRoot(), LinkPortUser(), device,
                                                              LastSerialOpenError())));
    return;
  }
  fTesting = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{fTesting};
  TCableTestOptions options;
  options.iniParity = IniParity;
  // The window stays alive while the bytes go out.
  options.step = [] { QCoreApplication::processEvents(); };
  const TCableTestResult result = RunCableTest(*line, options);
  line->close();
  const TSerialPort info = DescribeSerialPort(SysRoot(), LinkPortUser(), device);
  const QString command =
      info.latencyTimerMs && *info.latencyTimerMs > 1 ? LatencyCommand(info) : QString();
  frmCableTest->setIcon(CableTestExitCode(result) == 0 ? QMessageBox::Information
                                                       : QMessageBox::Warning);
  frmCableTest->setText(QStringLiteral("%1 (%2)\n\n").arg(port, device) +
                        PortTexts::CableTest(result, command));
  frmCableTest->exec();
}

void TLinkMenu::actSaveLinkTraceClick() {
  const auto trace = LastLinkTrace();
  if (!trace) {
    PortTexts::Warn(fWindow, "NoLinkTrace",
                    tr("Журнала обмена ещё нет: он ведётся с начала каждого соединения."));
    return;
  }
  const QString path = RunFileDialog(sdLinkTrace);
  if (path.isEmpty()) return;
  if (!trace->Save(path))
    PortTexts::Warn(fWindow, "LinkTraceNotSaved", tr("Не удалось записать %1").arg(path));
}
