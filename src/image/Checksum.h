#pragma once
// The image checksum: a sum over the data area from fStartDataAreaAddress to
// fEndDataAreaAddress (both inclusive) stored at fCRCAddress in one of the kinds these units
// use (TChecksumKind). Bytes of the stored checksum that lie inside the area are left out of
// the sum, so that storing it does not change it. A configuration whose three fields are all
// 0 names no checksum.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "image/ModelConfig.h"

// The kind a profile's CRCKind text names ("sum16be", "sum16le", "sum16be+complement",
// "sum16le+complement", "sum8" over the configured area; "code16be", "code16le" over the
// whole code area; "mirror", the area copied at fCRCAddress; any letter case); "auto" or an
// empty text give None (the schemes are found on the image); any other text gives nothing.
std::optional<TChecksumKind> ChecksumKindFromName(const QString& name);
// Every name ChecksumKindFromName knows, "auto" first.
QStringList ChecksumKindNames();
// The profile text of a kind ("auto" for None).
QString ChecksumKindName(TChecksumKind kind);

// Bytes the stored checksum of `kind` takes (0 for None).
int ChecksumBytes(TChecksumKind kind);

// True when the configuration names a checksum area (any of the three fields not 0).
bool HasChecksum(const TModelConfig& config);

// Empty when the configuration names no checksum, or when its area runs forward and both the
// area and the checksum's place (as many bytes as the named kind takes, one when the kind is
// to be found) lie inside an image of `imageSize` bytes; else the reason in Russian.
QString ChecksumLayoutProblem(const TModelConfig& config, int64_t imageSize);

// The value `kind` stores for `image` as it stands: the sum over the area without the bytes
// the checksum itself takes there, in 16 or 8 bits. The caller has checked the layout.
uint16_t ComputeChecksum(const std::vector<uint8_t>& image, const TModelConfig& config,
                         TChecksumKind kind);

// True when the value stored at the checksum's place is the one `kind` computes (false for
// None, a layout that does not fit, or an area of one repeated byte, whose sum proves nothing).
bool ChecksumMatches(const std::vector<uint8_t>& image, const TModelConfig& config,
                     TChecksumKind kind);

// What the image's stored checksum was found to be.
struct TChecksumStatus {
  TChecksumKind kind = TChecksumKind::None;  // named by the profile, or the kind that matched
  bool valid = false;                        // the stored value is the one `kind` computes
};

// With a kind named by the configuration: whether the image's value is right for it. Without
// one: the first kind whose value matches, trying the longer checksums first (a four-byte
// match is the stronger evidence); none matching, or no checksum configured, gives None.
TChecksumStatus CheckChecksum(const std::vector<uint8_t>& image, const TModelConfig& config);

// The status strip's text: "КС: верна (16 бит, BE)" and the like, "КС: неверна" when a kind
// is known but its value is wrong, "КС: не найдена" when no kind is known.
QString ChecksumStatusText(const TChecksumStatus& status);

// Stores the checksum of `kind` computed over `image` at its place. Throws ERuntimeError for
// None or a layout that does not fit (the image is not changed then).
void StoreChecksum(std::vector<uint8_t>& image, const TModelConfig& config, TChecksumKind kind);
