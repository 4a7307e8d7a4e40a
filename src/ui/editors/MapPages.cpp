// The controls of the map editor pages, placed on their tab sheets.
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <string_view>

#include "ui/editors/ColorLegend.h"
#include "ui/editors/EditorRules.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/DecimalSpinBox.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/StringGrid.h"

namespace {
template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QGroupBox* Group(QWidget* parent, const char* name, const QString& caption, int x, int y, int w,
                 int h) {
  auto* group = Named(new QGroupBox(caption, parent), name);
  group->setGeometry(x, y, w, h);
  return group;
}

QLabel* Text(QWidget* parent, const QString& text, int x, int y, const char* name = nullptr) {
  auto* label = new QLabel(text, parent);
  if (name) label->setObjectName(QString::fromLatin1(name));
  label->move(x, y);
  label->adjustSize();
  return label;
}

// The vertical caption beside a map: "Нагрузка" and "мс", one letter per line.
void LoadCaption(QWidget* parent, int x, int y) {
  auto* label = new QLabel(
      QCoreApplication::translate("TMapEditors", "Н\nа\nг\nр\nу\nз\nк\nа\n\nм\nс"), parent);
  label->setAlignment(Qt::AlignHCenter);
  label->move(x, y);
  label->adjustSize();
}

// The small picture button at the top right of a table page; it has no action.
void PageButton(QWidget* page, const char* name) {
  auto* button = Named(new QToolButton(page), name);
  button->setIcon(page->style()->standardIcon(QStyle::SP_ComputerIcon));
  button->setAutoRaise(true);
  button->setGeometry(680, 6, 23, 22);
}

// A grid at its form geometry with rows and columns fitted to it.
TStringGrid* Grid(QWidget* parent, const char* name, int cols, int rows, int fixedCols,
                  int fixedRows, QRect geometry) {
  auto* grid = Named(new TStringGrid(cols, rows, fixedCols, fixedRows, parent), name);
  grid->setGeometry(geometry);
  grid->SetDefaultRowHeight(FitCellSize(geometry.height(), rows));
  grid->SetDefaultColWidth(FitCellSize(geometry.width(), cols));
  grid->setEnabled(false);
  return grid;
}

TLineChart* Chart(QWidget* parent, const char* name, const TLineChart::Style& style,
                  QRect geometry) {
  auto* chart = Named(new TLineChart(style, parent), name);
  chart->setGeometry(geometry);
  return chart;
}

// A sensor voltage box at the right of its group, two decimals in steps of 0.1 V.
QDoubleSpinBox* VoltageBox(QWidget* parent, const char* name, double low, double high, double value,
                           int y) {
  auto* box = Named(new TDecimalSpinBox(parent), name);
  box->setRange(low, high);
  box->setSingleStep(0.1);
  box->setDecimals(2);
  box->setValue(value);
  box->setGeometry(100, y, 70, 22);
  return box;
}

TLineChart::Style TableCurve() {
  TLineChart::Style style;
  style.lineColor = Qt::red;
  style.lineWidth = 3;
  style.xGridStep = 500;
  style.yGridStep = 5;
  style.xDecimals = 0;
  style.yDecimals = 1;
  return style;
}
}  // namespace

// A part-load map page: the map in its group, the RPM caption above, the load caption left,
// the key of the colour scale at the top right.
TStringGrid* TMapEditors::BuildMainMapPage(QWidget* page, const char* group, const char* grid,
                                           const char* button, TColorLegend*& legend) {
  QGroupBox* box = Group(page, group, tr("Карта частичных нагрузок"), 4, 2, 670, 392);
  Text(box, tr("Обороты двигателя, об/мин."), 260, 17);
  legend = Named(new TColorLegend(box),
                 grid == std::string_view("sgFuelMain") ? "FuelLegend" : "SparkLegend");
  legend->setGeometry(470, 12, 192, 20);
  LoadCaption(box, 8, 80);
  PageButton(page, button);
  return Grid(box, grid, 17, 14, 1, 1, QRect(26, 34, 636, 350));
}

void TMapEditors::BuildIdlePage(QWidget* page) {
  // The idle fuel table gets columns wide enough for four-digit speeds and two-decimal
  // factors; the ignition group beside it gives up the width.
  QGroupBox* ign = Group(page, "gbIgnXX", tr("Зажигание"), 4, 2, 372, 206);
  sgrdIgnXX = Grid(ign, "sgrdIgnXX", 8, 2, 0, 1, QRect(8, 18, 356, 54));
  chrtXXIgn = Chart(ign, "chrtXXIgn", TableCurve(), QRect(8, 76, 356, 124));

  gbFuelXX = Group(page, "gbFuelXX", tr("Топливо"), 380, 2, 294, 206);
  LoadCaption(gbFuelXX, 6, 30);
  sgrdFuelXX = Grid(gbFuelXX, "sgrdFuelXX", 7, 4, 1, 1, QRect(22, 18, 266, 120));
  gbFuelXX->setVisible(false);

  QGroupBox* warm =
      Group(page, "gbRPMTempCorr", tr("Обороты двигателя при прогреве"), 4, 212, 372, 82);
  sgrdRPMTempCorr = Grid(warm, "sgrdRPMTempCorr", 4, 2, 0, 1, QRect(8, 20, 300, 54));
  PageButton(page, "sbECUXX");
}

void TMapEditors::BuildFullLoadPage(QWidget* page) {
  QGroupBox* ign = Group(page, "gbIgnMax", tr("Зажигание"), 4, 2, 670, 198);
  sgrdIgnMax = Grid(ign, "sgrdIgnMax", 16, 2, 1, 1, QRect(8, 18, 654, 54));
  chrtMaxIgn = Chart(ign, "chrtMaxIgn", TableCurve(), QRect(8, 76, 654, 116));
  QGroupBox* fuel = Group(page, "gbFuelMax", tr("Топливо"), 4, 202, 670, 192);
  sgrdFuelMax = Grid(fuel, "sgrdFuelMax", 16, 2, 0, 1, QRect(8, 18, 654, 54));
  chrtMaxFuel = Chart(fuel, "chrtMaxFuel", TableCurve(), QRect(8, 76, 654, 110));
  PageButton(page, "sbECUMAX");
}

void TMapEditors::BuildSettingsPage(QWidget* page) {
  QGroupBox* rev = Group(page, "GroupBox2", tr("Ограничитель оборотов двигателя"), 4, 2, 300, 58);
  Text(rev, tr("Порог срабатывания:"), 8, 28);
  seMaxRMP = Named(new QSpinBox(rev), "seMaxRMP");
  seMaxRMP->setRange(0, 9000);
  seMaxRMP->setSingleStep(40);
  seMaxRMP->setValue(0);
  seMaxRMP->setGeometry(140, 24, 76, 22);
  seMaxRMP->setEnabled(false);
  Text(rev, tr("об./мин."), 222, 28);

  gbCOreg = Group(page, "gbCOreg", tr("Регулировка СО"), 4, 64, 300, 92);
  Text(gbCOreg, tr("бедно"), 8, 24);
  sbCOreg = Named(new QScrollBar(Qt::Horizontal, gbCOreg), "sbCOreg");
  sbCOreg->setRange(-50, 50);
  sbCOreg->setPageStep(1);
  sbCOreg->setSingleStep(1);
  sbCOreg->setGeometry(48, 22, 196, 17);
  Text(gbCOreg, tr("богато"), 250, 24);
  Label13 = Text(gbCOreg, QStringLiteral("0"), 142, 44, "Label13");
  Label13->setFixedWidth(40);
  btnCOReset = Named(new QPushButton(tr("Сброс"), gbCOreg), "btnCOReset");
  btnCOReset->setGeometry(110, 62, 75, 23);
  gbCOreg->setVisible(false);

  // Each caption stands on its own line above its edit box and button: beside them it
  // would run under the box at the default font size.
  QGroupBox* throttle = Group(page, "GroupBox1", tr("Калибровка дросселя"), 4, 160, 300, 116);
  Text(throttle, tr("Полностью закрытый дроссель:"), 8, 20);
  auto* closed = Named(new QLineEdit(QStringLiteral("0"), throttle), "sdtClosedTrottle");
  closed->setGeometry(8, 38, 48, 22);
  Named(new QPushButton(tr("Измерить"), throttle), "btnClosedTrottle")->setGeometry(62, 37, 80, 24);
  Text(throttle, tr("Полностью открытый дроссель:"), 8, 66);
  auto* open = Named(new QLineEdit(QStringLiteral("255"), throttle), "Edit1");
  open->setGeometry(8, 84, 48, 22);
  Named(new QPushButton(tr("Измерить"), throttle), "Button1")->setGeometry(62, 83, 80, 24);
  throttle->setEnabled(false);

  QGroupBox* lambda = Group(page, "GroupBox3", tr("Лямбда зонд"), 310, 2, 364, 300);
  rgO2Type = Named(
      new TRadioGroup(tr("Тип лямбда зонда"), {tr("узкополосный"), tr("широкополосный")}, lambda),
      "rgO2Type");
  rgO2Type->setGeometry(8, 18, 160, 62);
  rgO2Type->SetItemIndex(1);

  gbWideLam = Group(lambda, "gbWideLam", tr("Диапазон датчика"), 176, 18, 180, 80);
  Text(gbWideLam, tr("Мин. вольтаж"), 8, 24);
  seLamMin = VoltageBox(gbWideLam, "seLamMin", 0, 0.45, 0, 20);
  Text(gbWideLam, tr("Макс. вольтаж"), 8, 52);
  seLamMax = VoltageBox(gbWideLam, "seLamMax", 0.6, 1.5, 1.0, 48);

  gbRegLam = Group(lambda, "gbRegLam", tr("Пороговое значение"), 176, 18, 180, 56);
  Text(gbRegLam, tr("Вольтаж"), 8, 26);
  seRegLamSwitch = VoltageBox(gbRegLam, "seRegLamSwitch", 0.35, 0.6, 0.45, 22);

  gbLamGrf = Group(lambda, "gbLamGrf", tr("Характеристика датчика"), 8, 102, 348, 126);
  TLineChart::Style lambdaStyle;
  lambdaStyle.lineColor = Qt::red;
  lambdaStyle.lineWidth = 2;
  lambdaStyle.yDecimals = 2;
  chrtLambda = Chart(gbLamGrf, "chrtLambda", lambdaStyle, QRect(6, 16, 336, 104));

  rgO2Switch = Named(
      new TRadioGroup(tr("Лямбда ВКЛ/ВЫКЛ"),
                      {tr("Использовать лямбда зонд"), tr("НЕ использовать лямбда зонд")}, lambda),
      "rgO2Switch");
  rgO2Switch->setGeometry(8, 232, 348, 62);
  rgO2Switch->SetItemIndex(0);
  rgO2Switch->setEnabled(false);
  PageButton(page, "sbECURPM");
}

void TMapEditors::BuildMAFPage(QWidget* page) {
  gbMAF = Group(page, "gbMAF", tr("Карта калибровки ДМРВ"), 4, 2, 670, 392);
  sgMAF = Grid(gbMAF, "sgMAF", 2, 256, 1, 0, QRect(8, 18, 170, 366));
  sgMAF->SetDefaultRowHeight(20);
  sgMAF->SetDefaultColWidth(64);
  sgMAF->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  TLineChart::Style mafStyle;
  mafStyle.lineColor = Qt::red;
  mafStyle.lineWidth = 2;
  mafStyle.yDecimals = 0;
  chrtMAF = Chart(gbMAF, "chrtMAF", mafStyle, QRect(184, 18, 478, 366));
  Text(gbMAF, tr("х 10 кг/час"), 560, 22)->setVisible(false);
  gbMAF->setVisible(false);
  PageButton(page, "sbECUMAF");
}
