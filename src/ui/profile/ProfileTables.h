#pragma once
// What the profile editor knows of each part of the calibration: its caption, the group of
// keys that place it, the key of its start and its tint in the hex view.

#include <QColor>
#include <QString>
#include <vector>

#include "image/ImageTable.h"
#include "image/ProfileKeys.h"

struct TEditorTable {
  TImageTable table;
  TProfileGroup group;
  const char* startKey;      // the key of its start (of the low part for a split map)
  const char* highStartKey;  // the high part's start key, or null
  QColor tint;
};

// Every part, the tables with a grid first (in the order of the map pages).
const std::vector<TEditorTable>& EditorTables();
const TEditorTable& EditorTable(TImageTable table);
// The part whose keys form `group`, or null (the checksum's keys).
const TEditorTable* TableOfGroup(TProfileGroup group);
// The table's caption as its page names it.
QString EditorTableCaption(TImageTable table);
