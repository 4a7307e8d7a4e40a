#include "ui/widgets/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

void ShowErrorBox(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Tarvelo"), text, QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setObjectName(QStringLiteral("ErrorBox"));
  box.exec();
}
