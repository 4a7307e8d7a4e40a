#include "ui/widgets/StatusStrip.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QToolButton>

#include "ui/widgets/PieGauge.h"
#include "ui/widgets/StripLabels.h"

namespace {
constexpr int kStripHeight = TStatusStrip::kHeight;
constexpr int kClientWidth = TStatusStrip::kWidth;
// The strip holds two lines of text, at 3 and at 17 pixels from its top.
constexpr int kLineHeight = 14;

QFrame* Separator(QWidget* parent, const char* name, int left) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(QString::fromLatin1(name));
  frame->setFrameStyle(QFrame::VLine | QFrame::Sunken);
  frame->setGeometry(left, 2, 4, kStripHeight - 4);
  return frame;
}

template <typename LabelType = QLabel>
LabelType* Label(QWidget* parent, const char* name, const QString& text, int left, int top,
                 bool bold = false) {
  auto* label = new LabelType(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  QFont font = label->font();
  font.setBold(bold);
  label->setFont(font);
  label->move(left, top);
  label->adjustSize();
  // One of the strip's two lines.
  label->setFixedHeight(kLineHeight);
  return label;
}

void SetTextColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, color);
  widget->setPalette(palette);
}
}  // namespace

TStatusStrip::TStatusStrip(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("pnlIconPanel"));
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  BuildProgressAndStatus();
  BuildPortAndButtons();
  BuildVersionAndFileName();
}

void TStatusStrip::BuildProgressAndStatus() {
  QWidget* strip = this;
  pgLoadTo = new QProgressBar(strip);
  pgLoadTo->setObjectName(QStringLiteral("pgLoadTo"));
  pgLoadTo->setGeometry(3, 3, 84, 27);
  pgLoadTo->setRange(0, 100);
  pgLoadTo->setValue(10);
  pgLoadTo->setVisible(false);

  // The marks of the calibration share the progress bar's place, one line each: the
  // unsaved changes above, the count of differences from a reference below. A transfer
  // covers them while it runs.
  lModified = Label(strip, "lModified", tr("Изменено"), 5, 3, true);
  lModified->setFixedWidth(82);
  lModified->setToolTip(tr("Есть изменения, не сохранённые в файле"));
  SetTextColor(lModified, QColor(128, 0, 0));
  lModified->setVisible(false);
  lCompare = Label<TFittingLabel>(strip, "lCompare", QString(), 5, 17);
  lCompare->setFixedWidth(82);
  lCompare->setVisible(false);
  pgLoadTo->raise();

  lLink = Label(strip, "lLink", tr("Нет соединения !"), 90, 3);
  lLink->setFixedWidth(180);
  SetTextColor(lLink, Qt::red);
  // Under the link status, as wide: the loaded image's checksum scheme with its bytes and
  // place; a longer text fits in a smaller font.
  lChecksum = Label<TFittingLabel>(strip, "lChecksum", QString(), 90, 17);
  lChecksum->setFixedWidth(180);

  sbStop = new QToolButton(strip);
  sbStop->setObjectName(QStringLiteral("sbStop"));
  sbStop->setIcon(strip->style()->standardIcon(QStyle::SP_BrowserStop));
  sbStop->setToolTip(tr("Остановить загрузку"));
  sbStop->setAutoRaise(true);
  sbStop->setGeometry(246, 5, 23, 22);
  sbStop->setVisible(false);
  // Shown only during a transfer, whose status texts are short; it stands over the label.
  sbStop->raise();
}

void TStatusStrip::BuildPortAndButtons() {
  QWidget* strip = this;
  Separator(strip, "Panel3", 272);
  // "COM1 (симулятор)" and long device names fit in a smaller font. Under the port, what
  // the last operation on several cells did beyond the values asked for.
  constexpr int kPortWidth = 127;
  Label16 = Label<TFittingLabel>(strip, "Label16", QStringLiteral("COM1"), 278, 3);
  Label16->setFixedWidth(kPortWidth);
  lEditResult = Label<TFittingLabel>(strip, "lEditResult", QString(), 278, 17);
  lEditResult->setFixedWidth(kPortWidth);
  Separator(strip, "Panel5", 407);

  Gauge1 = new TPieGauge(strip);
  Gauge1->setObjectName(QStringLiteral("Gauge1"));
  Gauge1->SetMaxValue(30);
  Gauge1->setGeometry(413, 4, 25, 25);
  Gauge1->setVisible(false);

  sbConnect = new QToolButton(strip);
  sbConnect->setObjectName(QStringLiteral("sbConnect"));
  sbConnect->setCheckable(true);
  sbConnect->setAutoRaise(true);
  sbConnect->setIcon(strip->style()->standardIcon(QStyle::SP_DriveNetIcon));
  sbConnect->setToolTip(tr("Подключиться к Мотронику"));
  sbConnect->setGeometry(440, 5, 23, 22);
  sbConnect->setVisible(false);

  Separator(strip, "Panel6", 465);

  sbWriteLog = new QToolButton(strip);
  sbWriteLog->setObjectName(QStringLiteral("sbWriteLog"));
  sbWriteLog->setCheckable(true);
  sbWriteLog->setText(tr("ЛОГ"));
  QFont bold = sbWriteLog->font();
  bold.setBold(true);
  sbWriteLog->setFont(bold);
  sbWriteLog->setGeometry(471, 5, 36, 22);

  sbColorizeTable = new QToolButton(strip);
  sbColorizeTable->setObjectName(QStringLiteral("sbColorizeTable"));
  sbColorizeTable->setCheckable(true);
  sbColorizeTable->setAutoRaise(true);
  sbColorizeTable->setToolTip(tr("Включить цветную градацию"));
  // Hidden for good: its place went to the port's column, and it would stand over ЛОГ.
  sbColorizeTable->setGeometry(484, 5, 23, 22);
  sbColorizeTable->setVisible(false);
}

void TStatusStrip::BuildVersionAndFileName() {
  QWidget* strip = this;
  // The version and file captions sit right of their bold captions, however wide the
  // font makes them.
  QLabel* caption = Label(strip, "Label1", tr("Номер мотроника:"), 509, 3, true);
  const int valueLeft = caption->x() + caption->width() + 3;
  lVersion = Label(strip, "lVersion", tr("Не выбрана"), valueLeft, 3, true);
  QFont underline = lVersion->font();
  underline.setUnderline(true);
  lVersion->setFont(underline);
  lVersion->setFixedWidth(kClientWidth - valueLeft - 2);
  SetTextColor(lVersion, QColor(128, 0, 0));
  QLabel* fileCaption = Label(strip, "Label21", tr("Файл:"), 509, 17, true);
  // The file name starts right after its shorter caption, for room; a name still too long
  // keeps its start and extension, and the tooltip has the whole path.
  const int nameLeft = fileCaption->x() + fileCaption->width() + 3;
  lBinFName = Label<TElidedLabel>(strip, "lBinFName", QString(), nameLeft, 17);
  lBinFName->setFixedWidth(kClientWidth - nameLeft - 2);
}

void TStatusStrip::SetLinkStatus(const QString& text, const QColor& color) {
  SetTextColor(lLink, color);
  lLink->setText(text);
}

void TStatusStrip::ShowModified(bool modified) {
  lModified->setVisible(modified);
}

void TStatusStrip::ShowEditResult(const QString& text) {
  lEditResult->setText(text);
  lEditResult->setToolTip(text);
}

void TStatusStrip::ShowComparison(const QString& text, const QString& tip) {
  lCompare->setText(text);
  lCompare->setToolTip(tip);
  lCompare->setVisible(!text.isEmpty());
}

void TStatusStrip::ShowChecksum(const QString& text, const QColor& color) {
  SetTextColor(lChecksum, color);
  lChecksum->setText(text);
  lChecksum->setToolTip(text.isEmpty() ? QString() : tr("Контрольная сумма загруженной прошивки"));
}

void TStatusStrip::SetLinkStatus(const QString& text) {
  lLink->setText(text);
}

void TStatusStrip::ShowFileName(const QString& path) {
  // The name after the last folder separator (either kind, as a user may type either).
  QString name = path;
  const auto cut =
      std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
  lBinFName->setText(name.mid(cut + 1));
  lBinFName->setToolTip(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}
