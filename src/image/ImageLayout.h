#pragma once
// The calibration layout: every part a configuration places in the firmware image and in
// the settings file (its name, place, byte count and how its codes are stored), in one
// table that the layout check, the image decoder, the settings file size, the settings
// file's save and load and the image write-back all walk. Internal to the image library.

#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

#include "image/CodeStream.h"
#include "image/EfiOperator.h"
#include "image/ImageTable.h"
#include "image/ModelConfig.h"

namespace imagelayout {

// What a part holds (ImageTable.h names it for the other libraries).
using TItem = TImageTable;

// How a part's codes are stored.
enum class TStorage {
  Byte,     // one byte: the rev limiter code, the CO byte
  Version,  // the ten version characters, last first
  Rows,     // every cell, row by row
  MapPart,  // RPM codes, two bytes, load codes of rows first..last, values column by column
  Words,    // 16-bit values, low byte first
};

struct TPart {
  QString name;  // as the layout check reports it
  TItem item = TItem::Version;
  TStorage storage = TStorage::Rows;
  int first = 0, last = 0;  // MapPart: the table rows it holds
  // The high part of a split map: in the image its RPM codes repeat the low part's and are
  // passed over; the settings file reads them into row 0 again.
  bool highPart = false;
  bool inImage = true, inFile = true;
  int fileOrder = 0;  // place in the settings file, after the version digits
  int64_t address = 0;
  // Tables in the image start with two bytes that the program neither reads nor writes.
  bool leadBytes = true;
  int64_t bytes = 0;  // the bytes of its codes
  int64_t ImageBytes() const { return bytes + (leadBytes ? 2 : 0); }
};

// Every part of this configuration, in the order the decoder reads the image.
std::vector<TPart> ImageParts(const TModelConfig& config);
// The parts of the settings file, in its order.
std::vector<TPart> FileParts(const TModelConfig& config);
// True for the first part of its table in `parts` (the table is taken to codes there).
bool StartsTable(const std::vector<TPart>& parts, size_t index);
// True for the last part of its table in `parts` (the table is then whole and converted).
bool EndsTable(const std::vector<TPart>& parts, size_t index);
// Converts the table of `item` in `op` ("MotrToSi" or "SiToMotr"); single values pass.
void Convert(TEFIOperator& op, TItem item, std::string_view direction);

// Empty when `part` lies inside an image of `imageSize` bytes or is not read from the image;
// else the reason, as the layout check gives it.
QString OutsideProblem(const TPart& part, int64_t imageSize);
// Empty when the table of `item` has a shape the codec can read and convert (the layout
// check's shape rules for that table alone); else the reason.
QString TableShapeProblem(const TEFIOperator& op, TItem item);

// The float table a Rows or MapPart part of `item` holds (not the warm-up table).
TFloatMatrix& FloatTable(TEFIOperator& op, TItem item);
const TFloatMatrix& FloatTable(const TEFIOperator& op, TItem item);

// Reads one part into `op` as codes. From the image, a high part passes over its RPM codes;
// from the settings file it reads them into row 0 again.
template <typename Reader>
void ReadPart(Reader& in, TEFIOperator& op, const TPart& part, bool fromImage) {
  switch (part.storage) {
    case TStorage::Byte:
      if (part.item == TItem::RevLimit)
        op.fMaxRPM = op.MaxRPMFromCode(in.Next());
      else
        op.fCOReg = in.Next();
      return;
    case TStorage::Version: {
      QString text(10, QChar(' '));
      for (int i = 9; i >= 0; --i) text[i] = QChar(in.Next());
      op.fVersionText = text;
      return;
    }
    case TStorage::Rows:
      if (part.item == TItem::WarmUp)
        codestream::ReadRows(in, op.fRPMTempCorrTable);
      else
        codestream::ReadRows(in, FloatTable(op, part.item));
      return;
    case TStorage::MapPart:
      codestream::ReadMapPart(in, FloatTable(op, part.item), part.first, part.last,
                              !(fromImage && part.highPart));
      return;
    case TStorage::Words:
      for (auto& value : op.fMAFTable) value = in.NextWord();
      return;
  }
}

// Writes one part of `op`, whose tables hold codes, in the order the settings file and the
// image hold it (a CodeWriter or a CodeRecorder). The version characters are never written.
template <typename Writer>
void WritePart(Writer& out, const TEFIOperator& op, const TPart& part) {
  switch (part.storage) {
    case TStorage::Byte:
      if (part.item == TItem::RevLimit)
        out.Put(codestream::StoredByte(op.CodeFromMaxRPM(op.fMaxRPM)));
      else
        out.Put(op.fCOReg);
      return;
    case TStorage::Version:
      return;
    case TStorage::Rows:
      if (part.item == TItem::WarmUp)
        codestream::WriteRows(out, op.fRPMTempCorrTable);
      else
        codestream::WriteRows(out, FloatTable(op, part.item));
      return;
    case TStorage::MapPart:
      codestream::WriteMapPart(out, FloatTable(op, part.item), part.first, part.last);
      return;
    case TStorage::Words:
      for (const uint16_t value : op.fMAFTable) out.PutWord(value);
      return;
  }
}

}  // namespace imagelayout
