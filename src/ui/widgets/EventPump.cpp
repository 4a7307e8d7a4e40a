#include "ui/widgets/EventPump.h"

#include <QEventLoop>
#include <QTimer>

void PumpEventsFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}
