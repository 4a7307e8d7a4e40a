#pragma once
#include "ui/app/Program.h"
#include "ui/app/MainWindow.h"

template <typename T>
T* Find(const char* name) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == QLatin1String(name))
      if (auto* self = qobject_cast<T*>(top)) return self;
    if (auto* child = top->findChild<T*>(QLatin1String(name))) return child;
  }
  return nullptr;
}
