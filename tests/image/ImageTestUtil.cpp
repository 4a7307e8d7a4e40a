#include "ImageTestUtil.h"

#include <QTemporaryDir>

void UseProfileDefaults(TEFIOperator& op, uint8_t fill) {
  QTemporaryDir dir;
  const QString path = dir.filePath("empty.prf");
  WriteBytes(path, "[config]\r\n");
  op.LoadProfile(path);
  op.fImage.assign(kImageSize, fill);
}
