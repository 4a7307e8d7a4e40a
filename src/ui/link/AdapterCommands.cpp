#include "ui/link/AdapterCommands.h"

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

#include "common/Clock.h"
#include "common/Errors.h"
#include "common/RegularFile.h"
#include "image/EfiOperator.h"
#include "link/AdapterBytes.h"
#include "link/PortSettings.h"
#include "link/ScanUtils.h"
#include "ui/link/ComPort.h"
#include "ui/link/ComPortSetup.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/EventPump.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/StatusStrip.h"

namespace {
constexpr int kQuietStreamLength = 524289;  // loaded nowhere and reported nowhere
constexpr int kUploadHandshakeMs = 2000;

int gReadSilenceMs = 5000;
int gStoreWaitMs = 1500;
int gUploadPaceMs = 1;

// After the third CTS change, characters still on their way (a USB adapter hands them over
// in packets) are taken until the port has been quiet this long.
constexpr int kDrainQuietMs = 50;

void Warn(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning,
                  QCoreApplication::translate("TAdapterCommands", "Внимание!"), text,
                  QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("Warning"));
  box.exec();
}

// A Yes/No question; No is the default answer.
bool Ask(QWidget* parent, const char* name, const QString& text) {
  QMessageBox box(QMessageBox::Question,
                  QCoreApplication::translate("TAdapterCommands", "Внимание!"), text,
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
    return QCoreApplication::translate("TAdapterCommands", "не найдена");
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
    const Views& views = owner.fViews;
    QToolButton* connectButton = views.strip->sbConnect;
    fButton = connectButton->isEnabled();
    connectButton->setEnabled(false);
    for (QAction* action : {views.save, views.read, views.upload}) {
      fActions.push_back({action, action->isEnabled()});
      action->setEnabled(false);
    }
  }
  ~TransferLock() {
    QToolButton* connectButton = fOwner.fViews.strip->sbConnect;
    connectButton->setEnabled(fButton || connectButton->isEnabled());
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

TAdapterCommands::TAdapterCommands(QObject* parent, const Views& views)
    : QObject(parent), fViews(views), fComPort(new TComPort(this)) {
  setObjectName(QStringLiteral("AdapterCommands"));
  connect(fComPort, &TComPort::RxChar, this, &TAdapterCommands::ComPortRxChar);
  connect(fComPort, &TComPort::CTSChange, this, &TAdapterCommands::ComPortCTSChange);
  // Ring means nothing to the program.
  connect(fComPort, &TComPort::Ring, this, [] {});
  views.strip->Label16->setText(fComPort->DisplayName());
  connect(views.strip->sbStop, &QToolButton::clicked, this, [this] { sbStopClick(); });
}

QWidget* TAdapterCommands::Window() const {
  return fViews.strip->window();
}

void TAdapterCommands::ComPortRxChar(int count) {
  RxBuffer += fComPort->Read(count);
}

void TAdapterCommands::N14Click() {
  if (!fSetup) fSetup = new TComPortSetup(*fComPort, Window());
  fSetup->exec();
  fViews.strip->Label16->setText(fComPort->DisplayName());
}

bool TAdapterCommands::StoreExchange() {
  using namespace AdapterBytes;
  if (fBusy) return false;
  const TransferLock lock(*this);
  RxBuffer.clear();
  // A port that cannot be opened (no adapter, no device file) fails like a silent
  // adapter, so that the edits can still be saved to the file.
  bool stored = false;
  if (fComPort->Open()) {
    fComPort->SetRTS(true);
    PumpEventsFor(1);
    fComPort->WriteStr(QByteArray(1, kStoreCommand));
    QElapsedTimer waited;
    waited.start();
    while (RxBuffer.isEmpty() && waited.elapsed() < gStoreWaitMs) PumpEventsFor(1);
    stored = !RxBuffer.isEmpty() && static_cast<uint8_t>(RxBuffer.front()) == kStoreAnswer;
    fComPort->WriteStr(kStoreClose);
  }
  if (!stored) Warn(Window(), tr("Нет связи с DME, изменения будут сохранены только в файле."));
  PumpEventsFor(1);
  fComPort->SetRTS(false);
  PumpEventsFor(1);
  fComPort->WriteStr(QByteArray(1, kCommandEnd));
  PumpEventsFor(1);
  fComPort->Close();
  return stored;
}

void TAdapterCommands::N8Click() {
  if (fBusy) return;
  const TransferLock lock(*this);
  fViews.strip->SetLinkStatus(tr("Загрузка прошивки из DME"), Qt::red);
  PumpEventsFor(0);
  CtsChanges = 0;
  RxBuffer.clear();
  if (!fComPort->Open()) throw ERuntimeError(fComPort->LastError().toStdString());
  fStop = false;
  fViews.strip->sbStop->setVisible(true);
  const bool complete = ReceiveStream();
  if (complete) DrainLateCharacters();
  fComPort->Close();
  CtsChanges = 0;
  fViews.strip->sbStop->setVisible(false);
  fStop = false;
  const QByteArray stream = RxBuffer;
  RxBuffer.clear();
  fViews.strip->pgLoadTo->setVisible(false);
  fViews.strip->SetLinkStatus(tr("Загрузка завешена!"), Qt::red);
  if (complete && stream.size() == AdapterBytes::kStreamLength) {
    // The filler character goes; the image follows it.
    fViews.efi->fImage.assign(stream.begin() + 1, stream.end());
    emit ImageRead();
  } else if (!(complete && stream.size() == kQuietStreamLength)) {
    Warn(Window(), tr("Ошибка передачи данных из DME"));
  }
}

bool TAdapterCommands::ReceiveStream() {
  fComPort->SetRTS(true);
  PumpEventsFor(1);
  fComPort->WriteStr(QByteArray(1, AdapterBytes::kReadCommand));
  PumpEventsFor(1);
  fComPort->SetRTS(false);
  // The adapter ends its stream with three CTS changes. A silent adapter, or the stop
  // button, ends the wait as a failed transfer instead of waiting for ever.
  QElapsedTimer quiet;
  quiet.start();
  qsizetype seen = RxBuffer.size();
  int changesSeen = CtsChanges;
  while (CtsChanges < AdapterBytes::kStreamEndCtsChanges) {
    PumpEventsFor(1);
    if (RxBuffer.size() != seen || CtsChanges != changesSeen) {
      seen = RxBuffer.size();
      changesSeen = CtsChanges;
      quiet.restart();
    }
    if (fStop || quiet.elapsed() > gReadSilenceMs) return false;
  }
  return true;
}

void TAdapterCommands::DrainLateCharacters() {
  // What is still on its way when CTS has changed the third time is taken before the port
  // closes.
  QElapsedTimer drained;
  drained.start();
  QElapsedTimer quiet;
  quiet.start();
  qsizetype seen = RxBuffer.size();
  while (quiet.elapsed() < kDrainQuietMs && drained.elapsed() < gReadSilenceMs && !fStop) {
    PumpEventsFor(1);
    if (RxBuffer.size() != seen) {
      seen = RxBuffer.size();
      quiet.restart();
    }
  }
}

void TAdapterCommands::N16Click() {
  if (fBusy) return;
  // The upload drives the diagnostic line itself; it would close a connection's port
  // under its thread.
  if (fLineBusy && fLineBusy()) {
    Warn(Window(), tr("Идёт диагностический сеанс: отключитесь от Мотроника перед "
                      "загрузкой прошивки в DME."));
    return;
  }
  QByteArray bytes;
  switch (ChooseUploadSource()) {
    case TUploadSource::Cancel:
      return;
    case TUploadSource::Editor: {
      const std::optional<QByteArray> edited = fEditedImage();
      if (!edited) return;
      bytes = *edited;
      break;
    }
    case TUploadSource::File:
      if (!ReadUploadFile(bytes)) return;
      break;
  }
  Upload(bytes);
}

TAdapterCommands::TUploadSource TAdapterCommands::ChooseUploadSource() {
  if (!(fEditedAvailable && fEditedImage && fEditedAvailable())) return TUploadSource::File;
  QMessageBox box(QMessageBox::Question, tr("Внимание!"),
                  tr("Загрузить изменённую прошивку из редактора?\n\nДа - прошивка из редактора с "
                     "изменениями, Нет - выбрать файл прошивки."),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Window());
  box.setObjectName(QStringLiteral("EditedImageQuestion"));
  // Enter alone never starts an upload.
  box.setDefaultButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return TUploadSource::Editor;
    case QMessageBox::No:
      return TUploadSource::File;
    default:
      return TUploadSource::Cancel;
  }
}

bool TAdapterCommands::ReadUploadFile(QByteArray& bytes) {
  const QString path = RunFileDialog(fViews.imageOpenDialog);
  if (path.isEmpty()) return false;
  RequireRegularFile(path);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw EInOutError(file.exists() ? EInOutError::FromErrno(EACCES)
                                    : EInOutError(EInOutError::kFileNotFound));
  }
  bytes = file.readAll();
  file.close();
  return ConfirmUpload(path, bytes);
}

void TAdapterCommands::Upload(const QByteArray& bytes) {
  const TransferLock lock(*this);
  fViews.strip->SetLinkStatus(tr("Загрузка прошивки ..."));
  QProgressBar* progress = fViews.strip->pgLoadTo;
  progress->setValue(0);
  progress->setMaximum(static_cast<int>(bytes.size()));
  progress->setValue(0);
  progress->repaint();
  progress->setVisible(true);
  fViews.strip->sbStop->setVisible(true);
  PumpEventsFor(0);
  fStop = false;
  if (!SendUpload(bytes)) Warn(Window(), tr("Ошибка передачи данных в DME"));
  progress->setVisible(false);
  fViews.strip->sbStop->setVisible(false);
  fViews.strip->SetLinkStatus(tr("Нет соединения!"));
  PumpEventsFor(0);
  fStop = false;
}

bool TAdapterCommands::SendUpload(const QByteArray& bytes) {
  // The line is returned to idle and closed on every path, an error included.
  struct LineGuard {
    ~LineGuard() {
      PumpEventsFor(1);
      ScanUtils::SetLineIdle(IniPort);
      PumpEventsFor(1);
      ScanUtils::CloseLine();
    }
  };
  const LineGuard guard;
  ScanUtils::OpenLineForAdapter(IniPort, IniParity, IniWakeLine);
  ScanUtils::SendRaw(AdapterBytes::kUploadCommand);
  const bool handshake = ScanUtils::AdapterHandshake(kUploadHandshakeMs);
  PumpEventsFor(1);
  if (!handshake) return false;
  QProgressBar* progress = fViews.strip->pgLoadTo;
  for (const char byte : bytes) {
    ScanUtils::SendRaw(static_cast<uint8_t>(byte));
    PumpEventsFor(gUploadPaceMs);
    progress->setValue(progress->value() + 1);
    if (fStop) break;
  }
  return true;
}

bool TAdapterCommands::ConfirmUpload(const QString& path, const QByteArray& bytes) {
  const QString name = QDir::toNativeSeparators(path);
  const QString question = tr("Загрузить в DME файл %1?\n\nРазмер: %2 байт\nВерсия прошивки: %3")
                               .arg(name)
                               .arg(bytes.size())
                               .arg(VersionTextOf(bytes, fViews.efi->fVersionAddress));
  if (!Ask(Window(), "UploadQuestion", question)) return false;
  if (bytes.size() == kImageSize) return true;
  const QString warning = tr("Файл %1 не похож на прошивку: в нём %2 байт, а прошивка DME занимает "
                             "ровно %3 байт. Загрузка такого файла может вывести DME из строя!\n\n"
                             "Всё равно загрузить его в DME?")
                              .arg(name)
                              .arg(bytes.size())
                              .arg(kImageSize);
  return Ask(Window(), "NotFirmwareQuestion", warning);
}
