#pragma once
// Texts of the unit's stored fault codes, as the fault-code box shows them.

#include <QByteArray>
#include <QString>
#include <cstdint>

// The line for one fault-code block: "TC отсутствуют!" when it carries no data, else the
// code (its first data byte) in decimal followed by its English text, or " - Unknown code".
QString FaultCodeLine(int count, const uint8_t* data);
// The same for a block's data bytes as a notification of the scan thread carries them.
QString FaultCodeLine(const QByteArray& data);
// The text that follows a code in its line, beginning with " - ".
QString FaultCodeText(uint8_t code);
