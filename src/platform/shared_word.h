#pragma once
// SharedWord: one word that two threads read and write, held in a state record that is reset by
// assigning a fresh record. Reads and writes are atomic (sequentially consistent, as with
// std::atomic's operators); copying a word reads it once and writes it once.
#include <atomic>

namespace platform {

template <typename T>
class SharedWord {
 public:
  constexpr SharedWord(T value = T()) noexcept : value_(value) {}
  SharedWord(const SharedWord& other) noexcept : value_(other.load()) {}
  SharedWord& operator=(const SharedWord& other) noexcept {
    store(other.load());
    return *this;
  }
  SharedWord& operator=(T value) noexcept {
    store(value);
    return *this;
  }
  operator T() const noexcept { return load(); }

  T load() const noexcept { return value_.load(); }
  void store(T value) noexcept { value_.store(value); }
  T exchange(T value) noexcept { return value_.exchange(value); }

 private:
  std::atomic<T> value_;
};

}  // namespace platform
