// Collection: the automation keyed collection.
//
// An ordered list of values, addressed by position from 1 or by an optional text key; keys are
// compared without regard to ASCII case. Failures are the automation ones: an existing key on Add
// is error 457, a position out of range error 9, an unknown key error 5.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/automation/text_compare.hpp"
#include "velmora/error.hpp"
#include "velmora/variant.hpp"

namespace velmora {

template <class T>
class Collection {
 public:
  void Add(T value, std::optional<std::string> key = std::nullopt) {
    if (key && find(*key) != kNotFound) raise(err::kDuplicateKey, *key);
    entries_.push_back(Entry{std::move(value), std::move(key)});
  }

  void Remove(const Variant& key) { entries_.erase(entries_.begin() + indexOf(key)); }

  std::size_t Count() const { return entries_.size(); }

  const T& Item(const Variant& key) const { return entries_[indexOf(key)].value; }

  // The value at the 0-based `index` (no checks): for walking the whole collection.
  const T& at(std::size_t index) const { return entries_[index].value; }

  void Clear() { entries_.clear(); }

 private:
  struct Entry {
    T value;
    std::optional<std::string> key;
  };
  static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

  std::size_t find(const std::string& key) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].key && equalsIgnoreCase(*entries_[i].key, key)) return i;
    }
    return kNotFound;
  }

  // The 0-based index that `key` addresses: a number is a position from 1, a text a key.
  std::size_t indexOf(const Variant& key) const {
    if (key.isText()) {
      const std::size_t i = find(key.text());
      if (i == kNotFound) raise(err::kInvalidCall, "no item with the key '" + key.text() + "'");
      return i;
    }
    if (key.isNull()) raise(err::kTypeMismatch);
    const std::int64_t position = key.toInteger();
    if (position < 1 || static_cast<std::uint64_t>(position) > entries_.size()) {
      raise(err::kSubscript,
            "position " + std::to_string(position) + " of " + std::to_string(entries_.size()));
    }
    return static_cast<std::size_t>(position - 1);
  }

  std::vector<Entry> entries_;
};

}  // namespace velmora
