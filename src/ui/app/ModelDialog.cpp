#include "ui/app/ModelDialog.h"

#include <QPushButton>

#include "ui/widgets/RadioGroup.h"

TfrmSelectDME::TfrmSelectDME(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmSelectDME"));
  setWindowTitle(tr("Выбор модели DME  DEMO"));
  setFixedSize(313, 214);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  rgDMEselect = new TRadioGroup(
      tr("Поддерживаемые модели DME"),
      {QStringLiteral("M1.1      ...152 - ...159"), QStringLiteral("M1.3      ...172 - ...179"),
       QStringLiteral("M3.1      ...400 - ...405 "), QStringLiteral("M3.3      ...404"),
       QStringLiteral("M3.3.1   ...413")},
      this);
  rgDMEselect->setObjectName(QStringLiteral("rgDMEselect"));
  rgDMEselect->setGeometry(8, 8, 297, 161);
  rgDMEselect->SetItemIndex(2);
  // The list only shows which models the program serves; the configuration is the same.
  rgDMEselect->setEnabled(false);

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(79, 180, 75, 25);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  CancelBtn->setGeometry(159, 180, 75, 25);
  setTabOrder(OKBtn, CancelBtn);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}
