#pragma once
// TStatusStrip: the main window's status strip (pnlIconPanel): the transfer progress and stop
// button, the unsaved-changes mark and the count of differences from a reference, the link
// status lLink and under it the image checksum lChecksum, the adapter port's name and under it
// the last operation's result, the connection gauge and button, the ЛОГ
// and colour buttons, the DME version and the loaded file's name. The parts of the window get
// this strip, not the window, to show what they do.

#include <QFrame>

class QColor;
class QLabel;
class QProgressBar;
class QToolButton;
class TPieGauge;

class TStatusStrip : public QFrame {
  Q_OBJECT
 public:
  static constexpr int kWidth = 711;
  static constexpr int kHeight = 33;

  explicit TStatusStrip(QWidget* parent);

  // The link and transfer status in lLink: red for no connection, black when connected;
  // without a colour the label keeps its colour.
  void SetLinkStatus(const QString& text, const QColor& color);
  void SetLinkStatus(const QString& text);
  // Shows a file's name without its folder in lBinFName, the whole path as its tooltip.
  void ShowFileName(const QString& path);
  // The mark of calibration changes not yet saved in a file.
  void ShowModified(bool modified);
  // The loaded image's checksum status in lChecksum (empty: no whole image held).
  void ShowChecksum(const QString& text, const QColor& color);
  // What the last edit of several cells did beyond the values asked for (empty: nothing).
  void ShowEditResult(const QString& text);
  // The count of differences from a reference, with its tooltip (empty: no comparison).
  void ShowComparison(const QString& text, const QString& tip);

  QProgressBar* pgLoadTo = nullptr;
  QLabel* lLink = nullptr;
  QToolButton* sbStop = nullptr;
  QLabel* Label16 = nullptr;
  TPieGauge* Gauge1 = nullptr;
  QToolButton* sbConnect = nullptr;
  QToolButton* sbWriteLog = nullptr;
  QToolButton* sbColorizeTable = nullptr;
  QLabel* lVersion = nullptr;
  QLabel* lBinFName = nullptr;
  // Left of the link status, under the transfer progress (shown only during a transfer):
  // the unsaved-changes mark and under it the count of differences from a reference.
  QLabel* lModified = nullptr;
  QLabel* lCompare = nullptr;
  // Under the port's name: how many cells the last operation's limits held.
  QLabel* lEditResult = nullptr;
  // Under the link status: "КС: верна (16 бит, 69FE-797F -> 7980)" and the like.
  QLabel* lChecksum = nullptr;

 private:
  // The progress bar with the marks under it, the link and checksum status and the stop
  // button; the port column and the buttons; the version and file-name column.
  void BuildProgressAndStatus();
  void BuildPortAndButtons();
  void BuildVersionAndFileName();
};
