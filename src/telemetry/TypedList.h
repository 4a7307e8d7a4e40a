#pragma once
// TTypedList (unit Lists): a list that owns copies of fixed-size records and can keep them ordered.
// The items live in one contiguous block; every operation behaves as on a list of separately
// allocated copies (adding copies the record, deleting drops it).

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/Errors.h"
#include "telemetry/BigBlockAllocator.h"

template <typename T>
class TTypedList {
 public:
  // The largest item count the list grows to; adding beyond it is a list error.
  static constexpr int kMaxListSize = 134217727;

  TTypedList() = default;
  virtual ~TTypedList() = default;
  TTypedList(const TTypedList&) = default;
  TTypedList& operator=(const TTypedList&) = default;

  // 0 unsorted (order of adding), 1 ascending, 2 descending.
  uint8_t SortOrder = 0;
  // Adding an item equal to a stored one: 0 ignores it, 1 accepts it, 2 is a list error.
  uint8_t DuplicatePolicy = 1;
  // The item count beyond which Add raises the list error instead of growing.
  int MaxCount = kMaxListSize;

  static constexpr uint16_t ItemSize() { return sizeof(T); }
  int Count() const { return static_cast<int>(fItems.size()); }
  // Item i; an index outside 0 .. Count - 1 is a list error.
  const T& Items(int i) const {
    CheckIndex(i);
    return fItems[static_cast<size_t>(i)];
  }
  // Unchecked access for loops that stay within 0 .. Count - 1.
  const T& operator[](int i) const { return fItems[static_cast<size_t>(i)]; }
  const T* Data() const { return fItems.data(); }

  // Raises EListError naming the list's class.
  [[noreturn]] virtual void ListError() const { throw EListError(ClassName()); }

  // Appends a copy of the item when CanAdd allows it, then sorts.
  virtual void Add(const T& item) {
    if (CanAdd(item)) {
      if (Count() >= MaxCount) ListError();
      fItems.push_back(item);
    }
    Sort();
  }

  virtual void ClearAll() {
    while (Count() > 0) Delete(0);
  }

  // The index of an item equal to `item` on the sort key, or -1: the first match from the
  // front when unsorted, some match found by halving otherwise.
  int IndexOf(const T& item) const {
    const T copy = item;
    if (SortOrder == 0) {
      for (int k = 0; k < Count(); ++k)
        if (IsEqual(copy, (*this)[k])) return k;
      return -1;
    }
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
      const int mid = (lo + hi) / 2;
      if (IsEqual(copy, (*this)[mid])) return mid;
      if (Before(copy, (*this)[mid]))
        hi = mid - 1;
      else
        lo = mid + 1;
    }
    return -1;
  }

  void Sort() {
    if (SortOrder == 0 || Count() < 2) return;
    QuickSort(0, Count() - 1);
  }

  // True when a comes before b in the list's order; a list error for an unsorted list.
  bool Before(const T& a, const T& b) const {
    if (SortOrder != 1 && SortOrder != 2) ListError();
    return SortOrder == 1 ? IsLess(a, b) : IsGreater(a, b);
  }

  bool CanAdd(const T& item) const {
    if (DuplicatePolicy == 1 || IndexOf(item) == -1) return true;
    if (DuplicatePolicy == 2) ListError();
    return false;
  }

  bool CheckIndex(int i) const {
    if (i < 0 || i >= Count()) ListError();
    return true;
  }

  void Delete(int i) {
    CheckIndex(i);
    fItems.erase(fItems.begin() + i);
  }
  void Exchange(int i, int j) {
    CheckIndex(i);
    CheckIndex(j);
    std::swap(fItems[static_cast<size_t>(i)], fItems[static_cast<size_t>(j)]);
  }
  // Moves item `from` to position `to`, shifting the items between.
  void Move(int from, int to) {
    CheckIndex(from);
    CheckIndex(to);
    auto first = fItems.begin();
    if (from < to)
      std::rotate(first + from, first + from + 1, first + to + 1);
    else if (from > to)
      std::rotate(first + to, first + from, first + from + 1);
  }

  // Makes room for `count` items so that adding up to there does not reallocate.
  void Reserve(int count) { fItems.reserve(static_cast<size_t>(std::max(count, 0))); }
  // Makes the list `count` items long for a loader that writes the items in place: items
  // beyond the old end are unset until written (through Slots), items beyond `count` dropped.
  void ResizeForFill(int count) { fItems.resize(static_cast<size_t>(std::max(count, 0))); }
  T* Slots() { return fItems.data(); }
  // Exchanges the stored items (not the settings) with another list.
  void SwapItems(TTypedList& other) noexcept { fItems.swap(other.fItems); }

 protected:
  virtual const char* ClassName() const { return "TTypedList"; }
  virtual bool IsLess(const T& a, const T& b) const = 0;
  virtual bool IsGreater(const T& a, const T& b) const = 0;
  virtual bool IsEqual(const T& a, const T& b) const = 0;
  void Put(int i, const T& item) { fItems[static_cast<size_t>(i)] = item; }

 private:
  // Quicksort over lo..hi with the middle item as pivot. The pivot is a copy taken before
  // the range is partitioned: comparing against whatever item stands at the middle
  // position at each moment lets exchanges move the pivot and leaves lists unsorted. The
  // smaller part is sorted by recursion and the larger one in the loop, so the stack stays
  // shallow; the parts are disjoint, so the order of sorting them does not matter.
  void QuickSort(int lo, int hi) {
    while (lo < hi) {
      const T pivot = (*this)[(lo + hi) / 2];
      int i = lo, j = hi;
      do {
        while (Before((*this)[i], pivot)) ++i;
        while (Before(pivot, (*this)[j])) --j;
        if (i <= j) {
          std::swap(fItems[static_cast<size_t>(i)], fItems[static_cast<size_t>(j)]);
          ++i;
          --j;
        }
      } while (i <= j);
      if (j - lo < hi - i) {
        if (lo < j) QuickSort(lo, j);
        lo = i;
      } else {
        if (i < hi) QuickSort(i, hi);
        hi = j;
      }
    }
  }

  std::vector<T, BigBlockAllocator<T>> fItems;
};
