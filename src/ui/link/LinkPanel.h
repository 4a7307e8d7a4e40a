#pragma once
// TLinkPanel: the diagnostic link in the main window: the connect button, the link status
// (lLink, Gauge1, N14), the scan thread's notifications and the fault-code page.

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <functional>
#include <set>

class QAction;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class TScanThread;
class TStatusStrip;

class TLinkPanel : public QObject {
  Q_OBJECT
 public:
  // What the link shows itself with: the status strip (connect button, lLink, Gauge1), the
  // adapter port's setup command N14, which a connection disables, and the diagnostics
  // page that holds the fault-code panel.
  struct Views {
    TStatusStrip* strip = nullptr;
    QAction* portSetup = nullptr;
    QWidget* page = nullptr;
  };
  TLinkPanel(QObject* parent, const Views& views);
  ~TLinkPanel() override;

  void sbConnectClick();
  void btnReadTSClick();
  void btnClearTSClick();
  // Dispatches one notification of the scan thread (runs on the interface thread while
  // the thread waits); `data` holds the data bytes of a received block.
  void onLinkMessage(int code, const QByteArray& data);
  void onConnect();
  void onDisConnect();
  void onFaultCode(const QByteArray& data);
  void UpdateGauge1();
  // Ends a running connection and waits for its thread (closing the window, exit).
  void EndConnection();

  bool Connected() const { return fConnected; }
  // Asked before a connection starts: an adapter transfer holds a line and the window, and
  // the connect button waits for it to end.
  void SetLineBusy(std::function<bool()> busy) { fLineBusy = std::move(busy); }
  TScanThread* ScanThread() const { return fScanThread; }
  // The pause between opening the line and the wake-up (2 s on a real line).
  static void SetRestMs(int ms);
  // Where the trace of every session goes with TRACE=1: beside the logs.
  void SetTraceFolder(std::function<QString()> folder) { fTraceFolder = std::move(folder); }

  QWidget* pnlTS = nullptr;
  QPlainTextEdit* memTS = nullptr;
  QPushButton* btnReadTS = nullptr;
  QPushButton* btnClearTS = nullptr;

 private:
  void AddLine(const QString& line);

  // The connection starts: the line opens, rests, and the scan thread is started.
  void StartConnection();
  // A press while the released connection still runs: its pending end request is withdrawn.
  void WithdrawEnd();
  // What the opened line needs before the wake-up: a failed open in words, the FTDI latency
  // timer lowered (or the command named, once per device), and for a wake-up by breaks a
  // driver that can hold one. False when the connection cannot start (the driver named).
  bool PrepareLine();
  void SaveSessionTrace();

  Views fViews;
  std::function<bool()> fLineBusy;
  std::function<QString()> fTraceFolder;
  std::set<QString> fToldLatency;
  TScanThread* fScanThread = nullptr;
  bool fConnected = false;
  QStringList fLines{QString()};
};
