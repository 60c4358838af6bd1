#pragma once
#include <atomic>
#include <utility>

namespace pramvix {

// Intrusive reference count shared by clips and frames. The count starts at
// zero when the object is built; the first handle takes it to one.
class RefCounted {
 public:
  RefCounted() = default;
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  void AddRef() const { count_.fetch_add(1, std::memory_order_relaxed); }
  // Returns true when this was the last count.
  bool ReleaseRef() const { return count_.fetch_sub(1, std::memory_order_acq_rel) == 1; }
  int RefCount() const { return count_.load(std::memory_order_acquire); }

 protected:
  ~RefCounted() = default;

 private:
  mutable std::atomic<int> count_{0};
};

// Counted handle: copying adds a count, releasing removes one, and the object
// is destroyed when no count is left.
template <class T>
class Counted {
 public:
  Counted() = default;
  Counted(T* object) : p_(object) { if (p_) p_->AddRef(); }  // NOLINT: implicit as in the host
  Counted(const Counted& other) : Counted(other.p_) {}
  Counted(Counted&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  template <class U>
  Counted(const Counted<U>& other) : Counted(other.get()) {}  // NOLINT
  ~Counted() { reset(); }

  Counted& operator=(Counted other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }

  void reset() {
    T* old = std::exchange(p_, nullptr);
    if (old && old->ReleaseRef()) delete old;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Number of handles on the object (0 for an empty handle).
  int use_count() const { return p_ ? p_->RefCount() : 0; }

 private:
  T* p_ = nullptr;
};

}  // namespace pramvix
