#pragma once
// TAdapterCommands: the exchanges with the adapter fitted to the unit: reading the image
// ("&Загрузить из DME"), uploading an image file ("Заг&рузить BIN в DME"), the store
// exchange before a save, and the adapter port's setup ("COM-&порт").

#include <QByteArray>
#include <QObject>

class TComPort;
class TComPortSetup;
class TfrmMain;

class TAdapterCommands : public QObject {
  Q_OBJECT
 public:
  explicit TAdapterCommands(TfrmMain& form);

  void N7Click();
  void N8Click();
  void N14Click();
  void N16Click();
  void sbStopClick() { fStop = true; }
  // "s" to the adapter; false (after the warning) when it does not answer 0x8C.
  bool StoreExchange();

  // An exchange with the adapter is running: the commands that use a line wait for it.
  bool Busy() const { return fBusy; }

  TComPort& ComPort() { return *fComPort; }
  // What the adapter port has received, and the CTS changes it has reported.
  QByteArray RxBuffer;
  int CtsChanges = 0;

  // Timing that tests shorten: the read's silence bound, the store exchange's wait for the
  // first answer character, and the pause after each uploaded byte.
  static void SetTimings(int readSilenceMs, int storeWaitMs, int uploadPaceMs);

 private:
  class TransferLock;

  // Asks before an upload: the file, its size and version text, and a second, explicit
  // question for a file that is not a whole image. False when the user declines.
  bool ConfirmUpload(const QString& path, const QByteArray& bytes);
  void ComPortRxChar(int count);
  void ComPortCTSChange() { ++CtsChanges; }

  TfrmMain& fForm;
  TComPort* fComPort;
  TComPortSetup* fSetup = nullptr;
  bool fStop = false;
  bool fBusy = false;
};
