#pragma once
// An allocator for the record lists of big logs: blocks of 4 MB and more are mapped
// straight from the system and marked for transparent huge pages, so that filling a list
// of a million records takes a few dozen page faults instead of some twenty-four thousand.
// Smaller blocks come from the ordinary heap.

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

template <typename T>
class BigBlockAllocator {
 public:
  using value_type = T;
  static constexpr size_t kBigBlock = size_t{4} << 20;
  static constexpr size_t kHugePage = size_t{2} << 20;

  BigBlockAllocator() = default;
  template <typename U>
  BigBlockAllocator(const BigBlockAllocator<U>&) noexcept {}

  T* allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    const size_t bytes = n * sizeof(T);
    if (bytes < kBigBlock) return static_cast<T*>(::operator new(bytes));
    // Map a little more and trim it so that the block starts on a huge page.
    const size_t mapped = bytes + kHugePage;
    void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) ::munmap(raw, aligned - start);
    const size_t tail = start + mapped - (aligned + RoundUp(bytes));
    if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + RoundUp(bytes)), tail);
#ifdef MADV_HUGEPAGE
    ::madvise(reinterpret_cast<void*>(aligned), RoundUp(bytes), MADV_HUGEPAGE);
#endif
    return reinterpret_cast<T*>(aligned);
  }

  // Items made without a value (a list resized to be filled in place) are left as the memory
  // holds them instead of being written with zeros first; items made from a value are copies.
  template <typename U>
  void construct(U* p) {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  void deallocate(T* p, size_t n) noexcept {
    const size_t bytes = n * sizeof(T);
    if (bytes < kBigBlock)
      ::operator delete(p);
    else
      ::munmap(p, RoundUp(bytes));
  }

  friend bool operator==(const BigBlockAllocator&, const BigBlockAllocator&) {
    return true;
  }

 private:
  static size_t RoundUp(size_t bytes) {
    return (bytes + 4095) & ~size_t{4095};
  }
};
