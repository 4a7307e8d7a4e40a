#pragma once
// TLinkMenu: the link's commands in "&Опции": "Порт диагностики..." (actDiagPort, the dialog
// frmDiagPort), "Проверка кабеля" (actCableTest) and "Сохранить журнал обмена"
// (actSaveLinkTrace, the last K-line session's trace into a text file).

#include <QObject>
#include <functional>

class QAction;
class QFileDialog;
class QMenu;
class QMessageBox;
class QWidget;
class TfrmDiagPort;

class TLinkMenu : public QObject {
  Q_OBJECT
 public:
  // Adds the three commands to `menu`; `window` owns the dialogs.
  TLinkMenu(QWidget* window, QMenu* menu);

  // Asked before the cable test: a connection or an adapter transfer holds the line.
  void SetLineBusy(std::function<bool()> busy) { fLineBusy = std::move(busy); }

  void actDiagPortClick();
  void actCableTestClick();
  void actSaveLinkTraceClick();

  QAction* actDiagPort = nullptr;
  QAction* actCableTest = nullptr;
  QAction* actSaveLinkTrace = nullptr;
  TfrmDiagPort* frmDiagPort = nullptr;
  QMessageBox* frmCableTest = nullptr;
  QFileDialog* sdLinkTrace = nullptr;

 private:
  QWidget* fWindow;
  std::function<bool()> fLineBusy;
  bool fTesting = false;
};
