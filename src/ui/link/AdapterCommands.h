#pragma once
// TAdapterCommands: the exchanges with the adapter fitted to the unit: reading the image
// ("&Загрузить из DME"), uploading an image file or the editor's image with its changes
// ("Заг&рузить BIN в DME"), the store
// exchange before a save, and the adapter port's setup ("COM-&порт").

#include <QByteArray>
#include <QObject>
#include <functional>
#include <optional>

class QAction;
class QFileDialog;
class QWidget;
class TComPort;
class TComPortSetup;
class TEFIOperator;
class TStatusStrip;

class TAdapterCommands : public QObject {
  Q_OBJECT
 public:
  // What the commands work on and show themselves with: the image object, the status strip
  // (progress, stop button, link status, port name, connect button), the commands that use
  // a line (save N7, read N8, upload N16), which a transfer disables, and the upload's file
  // dialog.
  struct Views {
    TEFIOperator* efi = nullptr;
    TStatusStrip* strip = nullptr;
    QAction* save = nullptr;
    QAction* read = nullptr;
    QAction* upload = nullptr;
    QFileDialog* imageOpenDialog = nullptr;
  };
  TAdapterCommands(QObject* parent, const Views& views);

  void N8Click();
  void N14Click();
  void N16Click();
  void sbStopClick() { fStop = true; }
  // "s" to the adapter, before the settings file is saved; false (after the warning) when it
  // does not answer 0x8C or an exchange is running.
  bool StoreExchange();

  // An exchange with the adapter is running: the commands that use a line wait for it.
  bool Busy() const { return fBusy; }
  // Asked before an upload, which drives the diagnostic line itself: true while a
  // diagnostic connection holds it.
  void SetLineBusy(std::function<bool()> busy) { fLineBusy = std::move(busy); }
  // Asked by the upload: whether an image with the editor's changes can be offered, and that image
  // (nothing when the user declined on the way).
  void SetEditedImage(std::function<bool()> available,
                      std::function<std::optional<QByteArray>()> image) {
    fEditedAvailable = std::move(available);
    fEditedImage = std::move(image);
  }

  TComPort& ComPort() { return *fComPort; }
  // What the adapter port has received, and the CTS changes it has reported.
  QByteArray RxBuffer;
  int CtsChanges = 0;

  // Timing that tests shorten: the read's silence bound, the store exchange's wait for the
  // first answer character, and the pause after each uploaded byte.
  static void SetTimings(int readSilenceMs, int storeWaitMs, int uploadPaceMs);

 signals:
  // A whole image was read from the unit into the image object.
  void ImageRead();

 private:
  class TransferLock;

  QWidget* Window() const;
  enum class TUploadSource { Cancel, Editor, File };
  // With an edited image at hand: the editor's image, a file, or nothing.
  TUploadSource ChooseUploadSource();
  // The file dialog, the file's bytes and the questions about them; false when the user
  // cancels or declines.
  bool ReadUploadFile(QByteArray& bytes);
  // Sends `bytes` to the adapter with the progress on the strip.
  void Upload(const QByteArray& bytes);
  // Asks before an upload: the file, its size and version text, and a second, explicit
  // question for a file that is not a whole image. False when the user declines.
  bool ConfirmUpload(const QString& path, const QByteArray& bytes);
  // The read's stream: sends "r" and takes what comes until the adapter's CTS changes end
  // it; false when the adapter fell silent or the user stopped it.
  bool ReceiveStream();
  // Takes what is still on its way after the stream's end.
  void DrainLateCharacters();
  // Sends the upload command and, once the adapter has answered, the file byte by byte;
  // false when the adapter did not answer.
  bool SendUpload(const QByteArray& bytes);
  void ComPortRxChar(int count);
  void ComPortCTSChange() { ++CtsChanges; }

  Views fViews;
  std::function<bool()> fLineBusy;
  std::function<bool()> fEditedAvailable;
  std::function<std::optional<QByteArray>()> fEditedImage;
  TComPort* fComPort;
  TComPortSetup* fSetup = nullptr;
  bool fStop = false;
  bool fBusy = false;
};
