#include "ui/telemetry/DashboardWindow.h"

#include <QFrame>
#include <QLabel>
#include <algorithm>
#include <array>

#include "common/DecimalText.h"
#include "ui/widgets/Dial.h"

namespace {

const QColor kOrange(255, 128, 0);
const QColor kLime(0, 255, 0);
const QColor kGreen(0, 128, 0);
const QColor kLambdaLean(222, 97, 33);
// The lambda figure's box is 652 .. 702, centred under LambdaMeter's hub.
constexpr int kLambdaCentre = 677;

struct DialSpec {
  const char* name;
  const char* caption;
  int left, top, width, height;
  Dial::Arc arc;
  double minimum, maximum;
  int divisions;
  double low, high;
  QColor lowColor, normalColor, highColor;
  double start;
};

// The nine dials in the order they are made: name, caption, place on the panel, arc, scale
// (minimum, maximum, about how many divisions), zones (low and high limit, then the colours
// below, between and above them) and the reading shown before the first record.
std::array<DialSpec, 9> DashboardDials() {
  const QColor caption = SystemActiveCaptionColor();
  const QColor white = Qt::white, red = Qt::red;
  constexpr Dial::Arc kRound = Dial::Arc::Deg300, kHalf = Dial::Arc::Deg180;
  return {{
      {"RPMmeter", "RPM", 236, 41, 327, 288, kRound, 0, 70, 10, 60, 65, white, kOrange, red, 56},
      {"MAFmeter", "AFM", 5, 110, 232, 206, kRound, 0, 5, 5, 0, 5, kLime, white, red, 0},
      {"LambdaMeter", "Lambda", 563, 108, 228, 208, kRound, 0, 100, 10, 40, 60, kLambdaLean, kGreen,
       caption, 0.5},
      {"VoltMeter", "V", 562, 2, 151, 99, kHalf, 0, 18, 3, 8, 15.5, kOrange, kGreen, red, 14.7},
      {"CoolantMeter", "T", 68, -1, 163, 104, kHalf, 50, 140, 2, 85, 120, caption, kGreen, red,
       110},
      {"AirTMeter", "Air", 39, 326, 180, 175, kRound, -40, 150, 5, 0, 120, caption, kGreen, red,
       72},
      {"IgnAngMeter", "Ign", 218, 326, 180, 175, kRound, 0, 100, 5, 0, 100, caption, white, red,
       15},
      {"DCycleMeter", "PW", 397, 326, 180, 175, kRound, 0, 13, 5, 0, 13, caption, white, red, 13},
      {"TrottleMeter", "TP", 577, 326, 180, 175, kRound, 0, 100, 5, 0, 100, caption, white, red,
       90},
  }};
}

Dial* MakeDial(QWidget* parent, const DialSpec& s) {
  auto* dial = new Dial(parent);
  dial->setObjectName(QString::fromLatin1(s.name));
  dial->setGeometry(s.left, s.top, s.width, s.height);
  dial->SetArc(s.arc);
  dial->SetScale(s.minimum, s.maximum, s.divisions);
  dial->SetZones(s.low, s.high, s.lowColor, s.normalColor, s.highColor);
  const bool small = s.arc == Dial::Arc::Deg180;
  dial->SetCaption(QString::fromLatin1(s.caption), small ? 13 : 16);
  dial->SetValue(s.start);
  return dial;
}

// Labels grow with their text from the size they were given: to the right, or, with
// `centre` set, to both sides of that x (the lambda figure stays under its dial's hub, so
// that it does not cover the scale's end figures beside it).
void SetLabelText(QLabel* label, const QString& text, int minimumWidth, int centre = -1) {
  label->setText(text);
  const int width = std::max(minimumWidth, label->sizeHint().width());
  const int left = centre < 0 ? label->x() : centre - width / 2;
  if (width != label->width() || left != label->x())
    label->setGeometry(left, label->y(), width, label->height());
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                  int pixels, QColor color, QColor background) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(geometry);
  QFont font = label->font();
  font.setPixelSize(pixels);
  font.setBold(true);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::Window, background);
  label->setPalette(palette);
  label->setAutoFillBackground(true);
  SetLabelText(label, text, geometry.width());
  return label;
}

}  // namespace

TfrmIndicators::TfrmIndicators(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmIndicators"));
  setWindowTitle(tr("Приборная доска  -= Tarvelo=-  DEMO"));
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

  Dial** const dials[] = {&RPMmeter,  &MAFmeter,    &LambdaMeter, &VoltMeter,   &CoolantMeter,
                          &AirTMeter, &IgnAngMeter, &DCycleMeter, &TrottleMeter};
  const std::array<DialSpec, 9> specs = DashboardDials();
  for (size_t i = 0; i < specs.size(); ++i) *dials[i] = MakeDial(panel, specs[i]);
  RPMmeter->SetNeedleWidth(8);
  RPMmeter->SetSecondNeedleVisible(true);
  RPMmeter->SetSecondValue(63);
  MAFmeter->SetCoverColor(Qt::white);
  LambdaMeter->SetCaptionAboveHub(true);  // the lambda figure sits below the hub
  CoolantMeter->SetMinorTicks(false);

  lLambdaNum = MakeLabel(panel, "lLambdaNum", QStringLiteral("14.1"), {652, 249, 50, 29}, 24,
                         Qt::white, Qt::black);
  // The figure sits inside the lambda dial between the scale's end figures: it is drawn
  // without a box of its own so that, grown wider than its 50 pixels, it still leaves the
  // dial's "100" readable.
  lLambdaNum->setAlignment(Qt::AlignCenter);
  lLambdaNum->setAutoFillBackground(false);
  SetLabelText(lLambdaNum, lLambdaNum->text(), 50, kLambdaCentre);
  lSpeed =
      MakeLabel(panel, "lSpeed", QStringLiteral("123"), {375, 9, 43, 29}, 24, Qt::black, Qt::white);
  Label2 = MakeLabel(panel, "Label2", tr("км/ч"), {424, 12, 60, 24}, 19, Qt::white, Qt::black);
  KeepUnitBesideSpeed();
}

void TfrmIndicators::KeepUnitBesideSpeed() {
  // "км/ч" stands at 424 unless the speed figure has grown into it.
  Label2->move(std::max(424, lSpeed->geometry().right() + 6), Label2->y());
}

void TfrmIndicators::ShowOnDashboard(const LiveRecord& values) {
  const double revs = values[kRPM] / 100;
  if (revs > RPMmeter->Value() && revs - RPMmeter->Value() < 200) RPMmeter->SetSecondValue(revs);
  RPMmeter->SetValue(revs);
  LambdaMeter->SetValue(values[kO2] * 100);
  SetLabelText(lLambdaNum, FloatToStr(values[kO2]), 50, kLambdaCentre);
  IgnAngMeter->SetValue(values[kIGNITION]);
  MAFmeter->SetValue(values[kMAF]);
  AirTMeter->SetValue(values[kMAT]);
  CoolantMeter->SetValue(values[kCLT]);
  DCycleMeter->SetValue(values[kPW]);
  TrottleMeter->SetValue(values[kTPS]);
  VoltMeter->SetValue(values[kVboard]);
  SetLabelText(lSpeed, FloatToStr(values[kSPEED]), 43);
  KeepUnitBesideSpeed();
}
