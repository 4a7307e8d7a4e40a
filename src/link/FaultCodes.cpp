#include "link/FaultCodes.h"

#include <QCoreApplication>

namespace {

struct FaultText {
  uint8_t code;
  const char* text;
};

constexpr FaultText kFaultTexts[] = {
    {1, " - Fault in the DME control Unit - Reset and run vehicle if code returns replace DME."},
    {3, " - Electrical Fuel Pump Relay (EKP)"},
    {4, " - Idle-speed Actuator - Open"},
    {5, " - Tank Ventilation Valve"},
    {7, " - Air-flow Sensor"},
    {10, " - Lambda Regulation"},
    {15, " - Check Engine Failure Light"},
    {16, " - Injection Valve(s)"},
    {17, " - Injection Valve(s)"},
    {22, " - Idle Speed Controller"},
    {23, " - Lambda Sensor - Heater/Air Pump"},
    {28, " - Lambda Sensor"},
    {29, " - Speed Signal"},
    {33, " - Magnetic Valve Hydraulic Automatic Transmission"},
    {37, " - Power Supply"},
    {38, " - ASC/DWA"},
    {40, " - Air Conditioner Compressor"},
    {43, " - Idle-speed Co-potentiometer"},
    {44, " - Temperature-sensor - Air Intake"},
    {45, " - Temperature-sensor - Coolant"},
    {50, " - Engine Towing Moment Regulation"},
    {51, " - Ignition Angle Engagement"},
    {52, " - Idle-speed Switch"},
    {53, " - Wide-open-throttle Switch"},
    {54, " - Torque Converter Lockup Clutch"},
    {100, " - DME Control Unit Final Stage"},
};

}  // namespace

QString FaultCodeText(uint8_t code) {
  for (const FaultText& f : kFaultTexts)
    if (f.code == code) return QString::fromLatin1(f.text);
  return QStringLiteral(" - Unknown code");
}

QString FaultCodeLine(int count, const uint8_t* data) {
  // A block with no data bytes (or a malformed one whose length byte was below 3) carries
  // no code: its first data byte would be a stale one from an earlier block.
  if (count <= 0 || !data) return QCoreApplication::translate("FaultCodes", "TC отсутствуют!");
  return QString::number(data[0]) + FaultCodeText(data[0]);
}

QString FaultCodeLine(const QByteArray& data) {
  return FaultCodeLine(static_cast<int>(data.size()),
                       reinterpret_cast<const uint8_t*>(data.constData()));
}
