#include "velmora/dataset.hpp"

#include "platform/automation/collection.hpp"
#include "velmora/error.hpp"

namespace velmora {

struct DataSet::Impl {
  Collection<std::string> items;
};

DataSet::DataSet() : impl_(std::make_unique<Impl>()) {}
DataSet::~DataSet() = default;

void DataSet::Add(const std::string& strData) {
  try {
    impl_->items.Add(strData, strData);
  } catch (const AutomationError&) {
    // A text already present (the usual case) leaves the set as it was.
  }
}

void DataSet::Remove(const Variant& key) {
  impl_->items.Remove(key);
}

std::int16_t DataSet::Count() const {
  const std::size_t n = impl_->items.Count();
  if (n > 32767) raise(err::kOverflow);
  return static_cast<std::int16_t>(n);
}

std::string DataSet::Item(const Variant& key) const {
  return impl_->items.Item(key);
}

void DataSet::Clear() {
  impl_->items.Clear();
}

std::string DataSet::GetAllValue() const {
  std::string all;
  const std::int16_t count = Count();
  for (std::int16_t i = 0; i < count; ++i) {
    all += impl_->items.at(static_cast<std::size_t>(i));
    all += ',';
  }
  if (!all.empty() && all.back() == ',') all.pop_back();
  return all;
}

}  // namespace velmora
