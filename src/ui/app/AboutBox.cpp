#include "ui/app/AboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(tr("О программе DEMO"));
  setFixedSize(298, 138);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(2);
  panel->setGeometry(8, 8, 281, 97);
  auto addLabel = [panel](const char* name, const QString& text, int top, int height) {
    auto* label = new QLabel(text, panel);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(8, top, 265, height);
    return label;
  };
  addLabel("ProductName", QStringLiteral("Tarvelo Editor"), 8, 16);
  addLabel("Version", QStringLiteral("Version: 1.0 Demo"), 28, 16);
  // The maker's line takes two lines where the font makes it wider than the panel.
  addLabel("Copyright", tr("Tarvelo: калибровка и диагностика DME Motronic"), 46, 30)
      ->setWordWrap(true);
  addLabel("Comments", QStringLiteral("2026"), 76, 16)->setWordWrap(true);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setGeometry(111, 109, 75, 25);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
