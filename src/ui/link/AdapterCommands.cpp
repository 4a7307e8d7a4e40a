#include "link/AdapterCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QToolButton>
#include <cerrno>
#include <utility>
#include <vector>

#include "app/mainfrm.h"
#include "common/Clock.h"
#include "link/ComPort.h"
#include "link/ComPortSetup.h"
#include "link/LinkPanel.h"
#include "link/PortSettings.h"
#include "link/ScanUtils.h"
#include "widgets/ErrorBox.h"
#include "widgets/EventPump.h"

namespace {
constexpr int kStreamLength = kImageSize + 1;  // a filler character, then the image
constexpr int kQuietStreamLength = 524289;     // loaded nowhere and reported nowhere
constexpr char kStoreAnswer = static_cast<char>(0x8C);
constexpr uint8_t kUploadCommand = 0x70;
constexpr int kUploadHandshakeMs = 2000;

int gReadSilenceMs = 5000;
int gStoreWaitMs = 1500;
int gUploadPaceMs = 1;

// After the third CTS change, characters still on their way (a USB adapter hands them over
// in packets) are taken until the port has been quiet this long.
constexpr int kDrainQuietMs = 50;

void Warn(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Внимание!"), text, QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("Warning"));
  box.exec();
}

// A Yes/No question; No is the default answer.
bool Ask(QWidget* parent, const char* name, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Внимание!"), text,
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setObjectName(QLatin1String(name));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

// The 10 version characters of an image (stored last first), as far as the file holds
// them; characters that cannot be shown become "?".
QString VersionTextOf(const QByteArray& bytes, int32_t address) {
  constexpr int kVersionLength = 10;
  if (address < 0 || bytes.size() < static_cast<qsizetype>(address) + kVersionLength)
    return QStringLiteral("не найдена");
  QString text;
  for (int i = kVersionLength - 1; i >= 0; --i) {
    const auto ch = static_cast<uint8_t>(bytes[address + i]);
    text += (ch >= 0x20 && ch < 0x7F) ? QChar(ch) : QChar('?');
  }
  return text;
}
}  // namespace

// While a transfer runs, the commands that use a line (connect, save with its store
// exchange, read, upload) are disabled; afterwards each is enabled again if it was enabled
// before or has been enabled meanwhile, whichever way the transfer ends.
class TAdapterCommands::TransferLock {
 public:
  explicit TransferLock(TAdapterCommands& owner) : fOwner(owner) {
    fOwner.fBusy = true;
    TfrmMain& form = owner.fForm;
    fButton = form.sbConnect->isEnabled();
    form.sbConnect->setEnabled(false);
    for (QAction* action : {form.N7, form.N8, form.N16}) {
      fActions.push_back({action, action->isEnabled()});
      action->setEnabled(false);
    }
  }
  ~TransferLock() {
    TfrmMain& form = fOwner.fForm;
    form.sbConnect->setEnabled(fButton || form.sbConnect->isEnabled());
    for (const auto& [action, enabled] : fActions)
      action->setEnabled(enabled || action->isEnabled());
    fOwner.fBusy = false;
  }
  TransferLock(const TransferLock&) = delete;
  TransferLock& operator=(const TransferLock&) = delete;

 private:
  TAdapterCommands& fOwner;
  bool fButton = false;
  std::vector<std::pair<QAction*, bool>> fActions;
};

void TAdapterCommands::SetTimings(int readSilenceMs, int storeWaitMs, int uploadPaceMs) {
  gReadSilenceMs = readSilenceMs;
  gStoreWaitMs = storeWaitMs;
  gUploadPaceMs = uploadPaceMs;
}

TAdapterCommands::TAdapterCommands(TfrmMain& form)
    : QObject(&form), fForm(form), fComPort(new TComPort(this)) {
  setObjectName(QStringLiteral("AdapterCommands"));
  connect(fComPort, &TComPort::RxChar, this, &TAdapterCommands::ComPortRxChar);
  connect(fComPort, &TComPort::CTSChange, this, &TAdapterCommands::ComPortCTSChange);
  // Ring means nothing to the program.
  connect(fComPort, &TComPort::Ring, this, [] {});
  form.Label16->setText(fComPort->DisplayName());
  connect(form.sbStop, &QToolButton::clicked, this, [this] { sbStopClick(); });
}

void TAdapterCommands::ComPortRxChar(int count) {
  RxBuffer += fComPort->Read(count);
}

void TAdapterCommands::N14Click() {
  if (!fSetup) fSetup = new TComPortSetup(*fComPort, &fForm);
  fSetup->exec();
  fForm.Label16->setText(fComPort->DisplayName());
}

bool TAdapterCommands::StoreExchange() {
  if (fBusy) return false;
  const TransferLock lock(*this);
  RxBuffer.clear();
  // A port that cannot be opened (no adapter, no device file) fails like a silent
  // adapter, so that the edits can still be saved to the file.
  bool stored = false;
  if (fComPort->Open()) {
    fComPort->SetRTS(true);
    SleepMs(1);
    fComPort->WriteStr("s");
    QElapsedTimer waited;
    waited.start();
    while (RxBuffer.isEmpty() && waited.elapsed() < gStoreWaitMs) PumpEventsFor(1);
    stored = !RxBuffer.isEmpty() && RxBuffer.front() == kStoreAnswer;
    fComPort->WriteStr("ok");
  }
  if (!stored)
    Warn(&fForm, QStringLiteral("Нет связи с DME, изменения будут сохранены только в файле."));
  SleepMs(1);
  fComPort->SetRTS(false);
  SleepMs(1);
  fComPort->WriteStr("\r");
  SleepMs(1);
  fComPort->Close();
  return stored;
}

void TAdapterCommands::N7Click() {
  if (!fForm.TablesLoaded || fBusy) return;
  StoreExchange();
  const QString path = TfrmMain::RunFileDialog(fForm.sdSetSaveFile);
  if (path.isEmpty()) return;
  fForm.CollectGrids(1);
  fForm.EFI().SaveSettings(1, path);
}

void TAdapterCommands::N8Click() {
  if (fBusy) return;
  const TransferLock lock(*this);
  fForm.SetLinkStatus(QStringLiteral("Загрузка прошивки из DME"), Qt::red);
  QCoreApplication::processEvents();
  CtsChanges = 0;
  RxBuffer.clear();
  if (!fComPort->Open()) throw ERuntimeError(fComPort->LastError().toStdString());
  fStop = false;
  fForm.sbStop->setVisible(true);
  fComPort->SetRTS(true);
  SleepMs(1);
  fComPort->WriteStr("r");
  SleepMs(1);
  fComPort->SetRTS(false);
  // The adapter ends its stream with three CTS changes. A silent adapter, or the stop
  // button, ends the wait as a failed transfer instead of waiting for ever.
  bool complete = true;
  QElapsedTimer quiet;
  quiet.start();
  qsizetype seen = 0;
  int changesSeen = 0;
  while (CtsChanges < 3) {
    PumpEventsFor(1);
    if (RxBuffer.size() != seen || CtsChanges != changesSeen) {
      seen = RxBuffer.size();
      changesSeen = CtsChanges;
      quiet.restart();
    }
    if (fStop || quiet.elapsed() > gReadSilenceMs) {
      complete = false;
      break;
    }
  }
  // What is still on its way when CTS has changed the third time is taken before the port
  // closes.
  if (complete) {
    QElapsedTimer drained;
    drained.start();
    quiet.restart();
    while (quiet.elapsed() < kDrainQuietMs && drained.elapsed() < gReadSilenceMs && !fStop) {
      PumpEventsFor(1);
      if (RxBuffer.size() != seen) {
        seen = RxBuffer.size();
        quiet.restart();
      }
    }
  }
  fComPort->Close();
  CtsChanges = 0;
  fForm.sbStop->setVisible(false);
  fStop = false;
  const QByteArray stream = RxBuffer;
  RxBuffer.clear();
  fForm.pgLoadTo->setVisible(false);
  fForm.SetLinkStatus(QStringLiteral("Загрузка завешена!"), Qt::red);
  if (complete && stream.size() == kStreamLength) {
    fForm.EFI().fImage.assign(stream.begin() + 1, stream.end());
    fForm.UpdateImageCommands();
    fForm.FillGrids(false);
  } else if (!(complete && stream.size() == kQuietStreamLength)) {
    Warn(&fForm, QStringLiteral("Ошибка передачи данных из DME"));
  }
}

void TAdapterCommands::N16Click() {
  if (fBusy) return;
  // The upload drives the diagnostic line itself; it would close a connection's port
  // under its thread.
  if (fForm.Link().Connected()) {
    Warn(&fForm, QStringLiteral("Идёт диагностический сеанс: отключитесь от Мотроника перед "
                                "загрузкой прошивки в DME."));
    return;
  }
  const QString path = TfrmMain::RunFileDialog(fForm.odOpenBin);
  if (path.isEmpty()) return;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw EInOutError(file.exists() ? EInOutError::FromErrno(EACCES)
                                    : EInOutError(EInOutError::kFileNotFound));
  }
  const QByteArray bytes = file.readAll();
  file.close();
  if (!ConfirmUpload(path, bytes)) return;
  const TransferLock lock(*this);
  fForm.SetLinkStatus(QStringLiteral("Загрузка прошивки ..."));
  QProgressBar* progress = fForm.pgLoadTo;
  progress->setValue(0);
  progress->setMaximum(static_cast<int>(bytes.size()));
  progress->setValue(0);
  progress->repaint();
  progress->setVisible(true);
  fForm.sbStop->setVisible(true);
  QCoreApplication::processEvents();
  fStop = false;

  // The line is returned to idle and closed on every path, an error included.
  struct LineGuard {
    ~LineGuard() {
      SleepMs(1);
      ScanUtils::SetLineIdle(IniPort);
      SleepMs(1);
      ScanUtils::CloseLine();
    }
  };
  bool handshake = false;
  {
    LineGuard guard;
    ScanUtils::OpenLineForAdapter(IniPort, IniParity, IniWakeLine);
    ScanUtils::SendRaw(kUploadCommand);
    handshake = ScanUtils::AdapterHandshake(kUploadHandshakeMs);
    SleepMs(1);
    if (handshake) {
      for (const char byte : bytes) {
        ScanUtils::SendRaw(static_cast<uint8_t>(byte));
        SleepMs(gUploadPaceMs);
        progress->setValue(progress->value() + 1);
        QCoreApplication::processEvents();
        if (fStop) break;
      }
    }
  }
  if (!handshake) Warn(&fForm, QStringLiteral("Ошибка передачи данных в DME"));
  progress->setVisible(false);
  fForm.sbStop->setVisible(false);
  fForm.SetLinkStatus(QStringLiteral("Нет соединения!"));
  QCoreApplication::processEvents();
  fStop = false;
}

bool TAdapterCommands::ConfirmUpload(const QString& path, const QByteArray& bytes) {
  const QString name = QDir::toNativeSeparators(path);
  const QString question =
      QStringLiteral("Загрузить в DME файл %1?\n\nРазмер: %2 байт\nВерсия прошивки: %3")
          .arg(name)
          .arg(bytes.size())
          .arg(VersionTextOf(bytes, fForm.EFI().fVersionAddress));
  if (!Ask(&fForm, "UploadQuestion", question)) return false;
  if (bytes.size() == kImageSize) return true;
  const QString warning =
      QStringLiteral(
          "Файл %1 не похож на прошивку: в нём %2 байт, а прошивка DME занимает "
          "ровно %3 байт. Загрузка такого файла может вывести DME из строя!\n\n"
          "Всё равно загрузить его в DME?")
          .arg(name)
          .arg(bytes.size())
          .arg(kImageSize);
  return Ask(&fForm, "NotFirmwareQuestion", warning);
}
