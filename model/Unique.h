#pragma once
// One owner for every handle, descriptor, socket, C file and GDI object: a traits struct per kind
// says what is invalid and how it is released. Portable; the Windows kinds' traits live in win32
// folders.
#include <utility>

namespace tev {

// Traits: static T Invalid(); static bool Valid(T); static void Release(T).
template <typename T, typename Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T value) : value_(value) {}
  ~Unique() { Reset(); }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.value_, Traits::Invalid()));
    return *this;
  }

  T Get() const { return value_; }
  bool Valid() const { return Traits::Valid(value_); }
  explicit operator bool() const { return Valid(); }
  T Release() { return std::exchange(value_, Traits::Invalid()); }
  void Reset(T value = Traits::Invalid()) {
    if (Traits::Valid(value_)) Traits::Release(value_);
    value_ = value;
  }

 private:
  T value_ = Traits::Invalid();
};

}  // namespace tev
