// DataSet: a small ordered set of distinct texts.
//
// Each text is stored once, under itself as its key (keys compared without regard to ASCII
// case, the first spelling kept), in order of first insertion; GetAllValue joins them with ",".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "velmora/export.h"
#include "velmora/object.hpp"
#include "velmora/variant.hpp"

namespace velmora {

class VELMORA_EXPORT DataSet : public Object {
 public:
  DataSet();
  ~DataSet() override;
  DataSet(const DataSet&) = delete;
  DataSet& operator=(const DataSet&) = delete;

  // Adds `strData` as value and key. A text already present (in any letter case) is ignored:
  // every failure of the insertion is swallowed.
  void Add(const std::string& strData);

  // Removes the entry at a position (a whole number, from 1) or with a text key. An unknown
  // position (error 9) or key (error 5) reaches the caller.
  void Remove(const Variant& key);

  // The number of entries; more than 32767 is error 6 (the count is a 16-bit integer).
  std::int16_t Count() const;

  // The value at a position from 1 or with a text key; failures as for Remove.
  std::string Item(const Variant& key) const;

  // Releases the entries. The set stays usable and empty.
  void Clear();

  // All values in position order joined by "," ("" for an empty set). Values are not quoted.
  std::string GetAllValue() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora
