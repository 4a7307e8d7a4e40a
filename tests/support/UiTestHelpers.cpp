#include "support/UiTestHelpers.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "ui/widgets/UserStore.h"

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

void Pump(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
}

QWidget* WaitForModal(int timeoutMs) {
  PumpUntil([] { return QApplication::activeModalWidget() != nullptr; }, timeoutMs);
  return QApplication::activeModalWidget();
}

void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs) {
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [answer, started, timeoutMs, poll]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) {
      answer(modal);
      *poll = nullptr;  // break the self-reference
      return;
    }
    if (started->elapsed() > timeoutMs) {
      ADD_FAILURE() << "no modal dialog appeared";
      *poll = nullptr;
      return;
    }
    QTimer::singleShot(5, *poll);
  };
  QTimer::singleShot(0, *poll);
}

void AnswerFileDialog(const QString& path) {
  AnswerNextModal([path](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr) << "expected a file dialog, got "
                               << modal->metaObject()->className();
    if (path.isEmpty()) {
      dialog->reject();
      return;
    }
    SelectInFileDialog(dialog, path);
    static_cast<QDialog*>(dialog)->accept();
  });
}

void SelectInFileDialog(QFileDialog* dialog, const QString& path) {
  // A file picked in an earlier run of the same dialog may still be selected in its list;
  // the path typed now must win, as it does for a user who types a name.
  for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>()) view->clearSelection();
  dialog->selectFile(path);
  // A shown dialog whose name field has the focus keeps the field's old text on
  // selectFile(); type the name into it.
  if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    edit->setText(QFileInfo(path).fileName());
}

void AnswerMessageBox(int standardButton, QString* text, QString* title) {
  AnswerNextModal([=](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr) << "expected a message box, got " << modal->metaObject()->className();
    if (text) *text = box->text();
    if (title) *title = box->windowTitle();
    QAbstractButton* button = box->button(static_cast<QMessageBox::StandardButton>(standardButton));
    ASSERT_NE(button, nullptr);
    button->click();
  });
}

void ProgramTest::SetUp() {
  ASSERT_TRUE(fTemp.isValid());
  qputenv("XDG_CONFIG_HOME", fTemp.filePath("config").toLocal8Bit());
  // The per-user store's file is chosen once per process: each case starts with it empty
  // (no placement, no recent files, no remembered folders), as on a first start.
  UserStore().clear();
}

void ProgramTest::TearDown() {
  Stop();
}

void ProgramTest::Start(bool confirmModel) {
  bool answered = false;
  AnswerNextModal([&](QWidget* modal) {
    answered = true;
    EXPECT_EQ(modal->objectName(), "frmSelectDME");
    if (confirmModel)
      static_cast<QDialog*>(modal)->accept();
    else
      static_cast<QDialog*>(modal)->reject();
  });
  StartProgram();
  fStarted = true;
  ASSERT_TRUE(PumpUntil([&] { return answered && !QApplication::activeModalWidget(); }));
  QApplication::setActiveWindow(frmMain);
}

void ProgramTest::Stop() {
  if (!fStarted) return;
  fStarted = false;
  EndProgram();
}

void ProgramTest::Shortcut(const QKeySequence& keys) {
  QApplication::setActiveWindow(frmMain);
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : frmMain;
  QTest::keySequence(target, keys);
}
