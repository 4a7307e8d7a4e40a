#include "image/ChecksumSearch.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <unordered_map>

#include "image/Checksum.h"
#include "image/ImageRegions.h"

namespace {

constexpr int64_t kCodeTail = 0x100;     // the last 256 bytes lie past the code area
constexpr int64_t kStartStep = 0x100;    // a searched calibration area starts on a page
constexpr int64_t kStartReach = 0x800;   // ... at most this far below the first table
constexpr int64_t kPlaceStep = 0x80;     // ... and its sum lies on a 128-byte boundary
constexpr int64_t kPlaceReach = 0x1000;  // ... at most this far after the last table
constexpr int64_t kMirrorMin = 64;       // shortest block taken as a mirror
constexpr int64_t kMirrorStride = 32;    // copies are looked for at this step
constexpr int kMirrorVariety = 16;       // byte values a mirrored block holds at least

// The complement kinds first: where one holds, its plain kind is not listed beside it.
constexpr std::array<TChecksumKind, 4> kSumKinds = {TChecksumKind::Sum16BEComplement,
                                                    TChecksumKind::Sum16LEComplement,
                                                    TChecksumKind::Sum16BE, TChecksumKind::Sum16LE};

// The kinds tried at the configuration's own area, in the order the plain check tries them.
constexpr std::array<TChecksumKind, 5> kAreaKinds = {
    TChecksumKind::Sum16BEComplement, TChecksumKind::Sum16LEComplement, TChecksumKind::Sum16BE,
    TChecksumKind::Sum16LE, TChecksumKind::Sum8};

// True when every byte the scheme sums is the same (its own place left out).
bool OneRepeatedByte(const std::vector<uint8_t>& image, const TChecksumScheme& s) {
  const int64_t placeEnd = s.type == TSchemeType::Mirror ? s.place : s.place + SchemeBytes(s);
  int seen = -1;
  for (const TByteRange& r : s.ranges)
    for (int64_t i = r.first; i <= r.last; ++i) {
      if (s.type != TSchemeType::Mirror && i >= s.place && i < placeEnd) continue;
      const int b = image[static_cast<size_t>(i)];
      if (seen >= 0 && b != seen) return false;
      seen = b;
    }
  return true;
}

bool Counts(const std::vector<uint8_t>& image, const TChecksumScheme& s) {
  return SchemeHolds(image, s) && !OneRepeatedByte(image, s);
}

bool WithComplement(TChecksumKind kind) {
  return kind == TChecksumKind::Sum16BEComplement || kind == TChecksumKind::Sum16LEComplement;
}

// The plain kind a complement kind begins with: where the complement holds, so does it.
TChecksumKind Plain(TChecksumKind kind) {
  if (kind == TChecksumKind::Sum16BEComplement) return TChecksumKind::Sum16BE;
  if (kind == TChecksumKind::Sum16LEComplement) return TChecksumKind::Sum16LE;
  return kind;
}

// Sums and runs of equal bytes over the whole image, so that each of the many searched
// areas is checked in constant time.
struct TPrefix {
  std::vector<uint32_t> sum;    // sum[i]: bytes 0..i-1
  std::vector<int64_t> runEnd;  // runEnd[i]: first byte after i that differs from it
  explicit TPrefix(const std::vector<uint8_t>& image)
      : sum(image.size() + 1, 0), runEnd(image.size(), 0) {
    for (size_t i = 0; i < image.size(); ++i) sum[i + 1] = sum[i] + image[i];
    for (size_t i = image.size(); i-- > 0;)
      runEnd[i] = i + 1 < image.size() && image[i + 1] == image[i] ? runEnd[i + 1]
                                                                   : static_cast<int64_t>(i + 1);
  }
  // For a scheme over one range that does not hold its own place.
  bool Counts(const std::vector<uint8_t>& image, const TChecksumScheme& s) const {
    const TByteRange& r = s.ranges[0];
    if (runEnd[static_cast<size_t>(r.first)] > r.last) return false;
    TChecksumScheme stored = s;
    stored.ranges = {};
    stored.start = static_cast<uint16_t>(
        (s.start + sum[static_cast<size_t>(r.last + 1)] - sum[static_cast<size_t>(r.first)]) &
        0xFFFF);
    // With no ranges left the scheme stores its start value: the area's sum.
    return StoredHolds(image, stored);
  }
  static bool StoredHolds(const std::vector<uint8_t>& image, const TChecksumScheme& s) {
    const auto at = image.begin() + s.place;
    const auto word = [&](int64_t i) {
      const int a = at[i], b = at[i + 1];
      return Plain(s.kind) == TChecksumKind::Sum16BE ? a << 8 | b : b << 8 | a;
    };
    if (word(0) != s.start) return false;
    return !WithComplement(s.kind) || word(2) == 0xFFFF - s.start;
  }
};

struct TSearch {
  const std::vector<uint8_t>& image;
  int64_t size;
  std::vector<TImageRegion> regions;  // every table inside the image
  TPrefix prefix;
  TSchemeSearch result;
  size_t configured = 0;  // candidates of the configured area, tried first

  bool InsideTable(int64_t first, int64_t end) const {
    return std::any_of(regions.begin(), regions.end(),
                       [&](const TImageRegion& r) { return first < r.End() && r.address < end; });
  }

  void Try(const TChecksumScheme& s) {
    if (!SchemeFits(s, size)) return;
    // The searched candidates differ from each other; only the configured area's may recur,
    // and then it counts as the configured one.
    TChecksumScheme asConfigured = s;
    asConfigured.searched = false;
    const auto known = result.tried.begin() + static_cast<std::ptrdiff_t>(configured);
    if (std::find(result.tried.begin(), known, asConfigured) != known) return;
    if (s.type == TSchemeType::Mirror &&
        std::find(result.held.begin(), result.held.end(), s) != result.held.end())
      return;
    result.tried.push_back(s);
    const bool outside =
        s.ranges.size() == 1 && s.type != TSchemeType::Mirror && s.kind != TChecksumKind::Sum8 &&
        (s.place > s.ranges[0].last || s.place + SchemeBytes(s) <= s.ranges[0].first);
    if (!(outside ? prefix.Counts(image, s) : Counts(image, s))) return;
    // A sum followed by its complement also holds as the plain sum: it is one scheme.
    if (!WithComplement(s.kind)) {
      for (const TChecksumScheme& h : result.held)
        if (WithComplement(h.kind) && Plain(h.kind) == s.kind && h.place == s.place &&
            h.ranges == s.ranges)
          return;
    }
    result.held.push_back(s);
  }

  // A searched sum is never kept inside a table: that byte is a calibration value.
  void TrySearched(const TChecksumScheme& s) {
    if (InsideTable(s.place, s.place + SchemeBytes(s))) return;
    if (s.place + SchemeBytes(s) > size - kCodeTail && s.type != TSchemeType::CodeArea) return;
    Try(s);
  }

  void ConfiguredArea(const TModelConfig& c) {
    if (!HasChecksum(c)) return;
    TChecksumScheme s;
    s.ranges = {{c.fStartDataAreaAddress, c.fEndDataAreaAddress}};
    s.place = c.fCRCAddress;
    s.start = c.fCRCStart;
    for (const TChecksumKind kind : kAreaKinds) {
      s.kind = kind;
      const size_t before = result.held.size();
      Try(s);
      if (result.held.size() > before) return;  // one kind per place, the strongest first
    }
  }

  void CodeArea() {
    if (size != 0x8000 && size != 0x10000) return;
    TChecksumScheme s;
    s.type = TSchemeType::CodeArea;
    s.ranges = {{0, size - kCodeTail - 1}};
    s.place = size - kCodeTail;
    for (const TChecksumKind kind : kSumKinds) {
      s.kind = kind;
      TrySearched(s);
    }
  }

  void CalibrationAreas() {
    int64_t lo = size, hi = 0;
    for (const TImageRegion& r : regions) {
      if (r.table == TImageTable::Version || r.table == TImageTable::RevLimit ||
          r.table == TImageTable::COReg)
        continue;
      lo = std::min(lo, r.address);
      hi = std::max(hi, r.End());
    }
    if (lo >= hi) return;
    std::vector<int64_t> starts{lo}, places{hi};
    for (int64_t s = lo / kStartStep * kStartStep; s >= 0 && s > lo - kStartReach; s -= kStartStep)
      if (s != lo) starts.push_back(s);
    for (int64_t p = (hi + kPlaceStep - 1) / kPlaceStep * kPlaceStep;
         p < std::min(size, hi + kPlaceReach); p += kPlaceStep)
      if (p != hi) places.push_back(p);
    for (const int64_t place : places)
      for (const int64_t start : starts)
        for (const TChecksumKind kind : kSumKinds) {
          TChecksumScheme s;
          s.kind = kind;
          s.ranges = {{start, place - 1}};
          s.place = place;
          s.searched = true;
          TrySearched(s);
        }
  }

  void Mirrors();
  void AddMirror(int64_t a, int64_t b, int64_t length);
};

// A polynomial hash of every window of kMirrorMin bytes, and how many byte values it holds.
struct TWindows {
  std::vector<uint64_t> hash;
  std::vector<int> variety;
  explicit TWindows(const std::vector<uint8_t>& image) {
    const auto n = static_cast<int64_t>(image.size());
    if (n < kMirrorMin) return;
    constexpr uint64_t kBase = 1000003;
    uint64_t top = 1;
    for (int64_t i = 1; i < kMirrorMin; ++i) top *= kBase;
    std::array<int, 256> counts{};
    uint64_t h = 0;
    int distinct = 0;
    for (int64_t i = 0; i < n; ++i) {
      if (i >= kMirrorMin) {
        const uint8_t out = image[static_cast<size_t>(i - kMirrorMin)];
        h -= out * top;
        if (--counts[out] == 0) --distinct;
      }
      const uint8_t in = image[static_cast<size_t>(i)];
      h = h * kBase + in;
      if (counts[in]++ == 0) ++distinct;
      if (i >= kMirrorMin - 1) {
        hash.push_back(h);
        variety.push_back(distinct);
      }
    }
  }
};

void TSearch::AddMirror(int64_t a, int64_t b, int64_t length) {
  const bool aTables = InsideTable(a, a + length), bTables = InsideTable(b, b + length);
  if (aTables && bTables) return;  // a table is never the copy of another
  const int64_t source = bTables ? b : a, copy = bTables ? a : b;
  TChecksumScheme s;
  s.type = TSchemeType::Mirror;
  s.ranges = {{source, source + length - 1}};
  s.place = copy;
  Try(s);
}

void TSearch::Mirrors() {
  const TWindows w(image);
  std::unordered_multimap<uint64_t, int64_t> at;
  for (size_t p = 0; p < w.hash.size(); ++p)
    if (w.variety[p] >= kMirrorVariety) at.emplace(w.hash[p], static_cast<int64_t>(p));
  const auto same = [&](int64_t x, int64_t y) {
    return image[static_cast<size_t>(x)] == image[static_cast<size_t>(y)];
  };
  // Blocks found so far, source and copy: nothing inside them is looked at again.
  std::vector<std::pair<int64_t, int64_t>> found;
  const auto seen = [&](int64_t q) {
    return std::any_of(found.begin(), found.end(),
                       [&](const auto& f) { return q >= f.first && q < f.second; });
  };
  for (int64_t q = 0; q < static_cast<int64_t>(w.hash.size()); q += kMirrorStride) {
    if (seen(q) || w.variety[static_cast<size_t>(q)] < kMirrorVariety) continue;
    const auto [from, to] = at.equal_range(w.hash[static_cast<size_t>(q)]);
    for (auto it = from; it != to; ++it) {
      int64_t a = std::min(it->second, q), b = std::max(it->second, q);
      if (b - a < kMirrorMin ||
          !std::equal(image.begin() + a, image.begin() + a + kMirrorMin, image.begin() + b))
        continue;
      while (a > 0 && same(a - 1, b - 1)) --a, --b;
      int64_t length = kMirrorMin;
      while (b + length < size && a + length < b && same(a + length, b + length)) ++length;
      if (a + length > b) length = b - a;  // a block repeating itself is filler, not a copy
      AddMirror(a, b, length);
      found.emplace_back(a, a + length);
      found.emplace_back(b, b + length);
      break;
    }
  }
}

}  // namespace

TSchemeSearch FindSchemes(const std::vector<uint8_t>& image, const TModelConfig& config) {
  TSearch search{image, static_cast<int64_t>(image.size()), {}, TPrefix(image), {}};
  if (const auto named = NamedScheme(config, search.size)) {
    search.result.named = true;
    search.Try(*named);
    return search.result;
  }
  for (const TImageRegion& r : ImageRegions(config))
    if (r.bytes > 0 && r.Inside(search.size)) search.regions.push_back(r);
  search.ConfiguredArea(config);
  search.configured = search.result.tried.size();
  search.CodeArea();
  search.CalibrationAreas();
  search.Mirrors();
  return search.result;
}

QString SchemeStatusText(const TSchemeSearch& search) {
  if (search.NamedFails()) return QCoreApplication::translate("Checksum", "КС: неверна");
  if (search.held.empty()) return QCoreApplication::translate("Checksum", "КС: не найдена");
  QString shown = SchemeShortText(search.held.front());
  if (search.held.size() > 1) shown += QStringLiteral("; +%1").arg(search.held.size() - 1);
  return QCoreApplication::translate("Checksum", "КС: верна (%1)").arg(shown);
}
