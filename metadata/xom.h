// The object-model base: ordered collections that own their items. An item knows its collection
// and its index; freeing an item through its collection removes it from there.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace morvane {

class TXOMCollection;
template <class T>
class TXOMClass;

class TXOMObject {
 public:
  TXOMObject() = default;
  TXOMObject(const TXOMObject&) = delete;
  TXOMObject& operator=(const TXOMObject&) = delete;
  virtual ~TXOMObject() = default;

  std::string Name;

  TXOMCollection* Collection() const { return collection_; }
  // The index in the collection, -1 for a free-standing item.
  int Index() const { return index_; }

 private:
  template <class T>
  friend class TXOMClass;
  TXOMCollection* collection_ = nullptr;
  int index_ = -1;
};

class TXOMCollection {
 public:
  TXOMCollection() = default;
  TXOMCollection(const TXOMCollection&) = delete;
  TXOMCollection& operator=(const TXOMCollection&) = delete;
  virtual ~TXOMCollection() = default;
};

template <class T>
class TXOMClass : public TXOMCollection {
 public:
  // Creates an item of the item class, appends it and returns it.
  T* Add() {
    items_.push_back(std::make_unique<T>());
    T* item = items_.back().get();
    Adopt(item, static_cast<int>(items_.size()) - 1);
    return item;
  }
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  T* operator[](int index) const { return items_[static_cast<size_t>(index)].get(); }
  T* First() const { return items_.empty() ? nullptr : items_.front().get(); }
  void Clear() { items_.clear(); }
  // Frees the item at index; the items after it move up by one.
  void Delete(int index) {
    items_.erase(items_.begin() + index);
    for (int i = index; i < Count(); ++i) items_[static_cast<size_t>(i)]->index_ = i;
  }
  // Frees the item when it belongs to this collection.
  void Remove(const T* item) {
    if (item != nullptr && item->collection_ == this && item->index_ >= 0 && item->index_ < Count() &&
        items_[static_cast<size_t>(item->index_)].get() == item)
      Delete(item->index_);
  }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  void Adopt(T* item, int index) {
    item->collection_ = this;
    item->index_ = index;
  }

  std::vector<std::unique_ptr<T>> items_;
};

}  // namespace morvane
