#pragma once
#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace pramvix::cli::logo {

// An allocator for the search's frame-sized sums that asks the system for
// huge pages where it gives them on request (transparent huge pages in
// "madvise" mode): a walk over megabytes of sums then costs a few page
// faults and TLB misses instead of one per 4 KiB.
template <class T>
struct HugePageAllocator {
  using value_type = T;
  static constexpr size_t kHuge = size_t{2} << 20;

  HugePageAllocator() = default;
  template <class U>
  HugePageAllocator(const HugePageAllocator<U>&) {}

  T* allocate(size_t n) {
    const size_t bytes = n * sizeof(T);
    if (bytes < kHuge) return static_cast<T*>(::operator new(bytes));
    void* p = std::aligned_alloc(kHuge, (bytes + kHuge - 1) / kHuge * kHuge);
    if (!p) throw std::bad_alloc();
    madvise(p, (bytes + kHuge - 1) / kHuge * kHuge, MADV_HUGEPAGE);
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t n) {
    if (n * sizeof(T) < kHuge) ::operator delete(p);
    else std::free(p);
  }
  template <class U>
  bool operator==(const HugePageAllocator<U>&) const { return true; }
  template <class U>
  bool operator!=(const HugePageAllocator<U>&) const { return false; }
};

}  // namespace pramvix::cli::logo
