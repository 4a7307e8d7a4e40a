#include "telemetry/Indicatorsfrm.h"

#include <QFrame>

TfrmIndicators::TfrmIndicators(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmIndicators"));
  setWindowTitle(QStringLiteral("Приборная доска  -= Tarvelo=-  DEMO"));
  setFixedSize(786, 526);
  auto* top = new QFrame(this);
  top->setObjectName(QStringLiteral("pnlTop"));
  top->setGeometry(0, 0, 786, 25);
  auto* main = new QFrame(this);
  main->setObjectName(QStringLiteral("pnlMain"));
  main->setGeometry(0, 25, 786, 501);
  auto* panel = new QFrame(main);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setGeometry(0, 0, 786, 501);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, Qt::black);
  panel->setPalette(palette);
}
