#pragma once
// TLinkPanel: the diagnostic link in the main window: the connect button, the link status
// (lLink, Gauge1, N14), the scan thread's notifications and the fault-code page.

#include <QObject>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;
class QWidget;
class TfrmMain;
class TScanThread;

class TLinkPanel : public QObject {
  Q_OBJECT
 public:
  explicit TLinkPanel(TfrmMain& form);
  ~TLinkPanel() override;

  void sbConnectClick();
  void btnReadTSClick();
  void btnClearTSClick();
  // Dispatches one notification of the scan thread (runs on the interface thread while
  // the thread waits).
  void onLinkMessage(int code);
  void onConnect();
  void onDisConnect();
  void onFaultCode();
  void UpdateGauge1();
  // Ends a running connection and waits for its thread (closing the window, exit).
  void EndConnection();

  bool Connected() const { return fConnected; }
  TScanThread* ScanThread() const { return fScanThread; }
  // The pause between opening the line and the wake-up (2 s on a real line).
  static void SetRestMs(int ms);

  QWidget* pnlTS = nullptr;
  QPlainTextEdit* memTS = nullptr;
  QPushButton* btnReadTS = nullptr;
  QPushButton* btnClearTS = nullptr;

 private:
  void AddLine(const QString& line);

  TfrmMain& fForm;
  TScanThread* fScanThread = nullptr;
  bool fConnected = false;
  QStringList fLines{QString()};
};
