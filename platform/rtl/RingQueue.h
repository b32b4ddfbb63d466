#pragma once
// A first-in, first-out queue in one buffer that only grows: once it is large enough, pushes and
// pops allocate nothing. A deque takes a block and gives one back every few hundred items, so
// tables that recycle slots through it allocate at odd times, long after the slots were freed.
#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

template <class T>
class TRingQueue {
 public:
  bool Empty() const { return count_ == 0; }
  size_t Count() const { return count_; }
  size_t Capacity() const { return items_.size(); }
  const T& Front() const { return items_[head_]; }

  void PopFront() {
    head_ = (head_ + 1) % items_.size();
    --count_;
  }

  void PushBack(T Item) {
    if (count_ == items_.size()) Grow();
    items_[(head_ + count_) % items_.size()] = std::move(Item);
    ++count_;
  }

 private:
  void Grow() {
    std::vector<T> grown(std::max<size_t>(kFirstCapacity, items_.size() * 2));
    for (size_t i = 0; i < count_; ++i) grown[i] = std::move(items_[(head_ + i) % items_.size()]);
    items_.swap(grown);
    head_ = 0;
  }

  static constexpr size_t kFirstCapacity = 16;
  std::vector<T> items_;
  size_t head_ = 0;  // index of the front item
  size_t count_ = 0;
};
