#pragma once
// Writing a profile (".prf"): the model configuration as the INI text that ReadProfile and
// "&Открыть профайл" read.

#include <QString>

#include "image/ModelConfig.h"

// Writes `config` as a profile at `path` that ReadProfile reads back to the same
// configuration: section "config" with every key, and "CRCKind" when the configuration names
// a checksum kind. A file already at `path` keeps every line whose value still holds (its
// other sections, comments and keys, "$42DD" as written); only the keys that changed are
// written. Lines end with CR LF. Throws EInOutError when the file
// cannot be written (an earlier file of that name is then left as it was).
void SaveProfile(const TModelConfig& config, const QString& path);
