#include "host_objects.hpp"

#include <optional>
#include <string>
#include <vector>

#include "com_text.hpp"
#include "com_variant.hpp"
#include "late_bound.hpp"
#include "native.hpp"
#include "velmora/error.hpp"
#include "velmora/recordset.hpp"

namespace velmora::com {
namespace {

constexpr WORD kGet = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

// A text argument passed by value.
class TextArgument {
 public:
  explicit TextArgument(const std::string& text) {
    V_VT(value_.get()) = VT_BSTR;
    V_BSTR(value_.get()) = toBstr(text);
  }
  VARIANT* get() { return value_.get(); }

 private:
  ComVariant value_;
};

// A host object that answers none of the members an interface needs: it implements no interface
// of the engine, which refuses it the way it refuses any object of the wrong kind.
struct ForeignObject final : Object {};

// A text argument passed by reference ([in, out] BSTR*). A host that assigns to it frees the
// text it was given and leaves its own, which this then owns and frees.
class TextReference {
 public:
  explicit TextReference(const std::string& text) : text_(toBstr(text)) {
    V_VT(&argument_) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&argument_) = &text_;
  }
  ~TextReference() { SysFreeString(text_); }
  TextReference(const TextReference&) = delete;
  TextReference& operator=(const TextReference&) = delete;

  VARIANT* get() { return &argument_; }
  std::string text() const { return toUtf8(text_); }

 private:
  BSTR text_;
  VARIANT argument_;
};

bool answersAny(const LateBound& object, std::initializer_list<const wchar_t*> members) {
  for (const wchar_t* member : members) {
    if (object.find(member)) return true;
  }
  return false;
}

// A host's record set, read forward. Column names are read once, when first needed.
class HostRecordset final : public Recordset {
 public:
  explicit HostRecordset(LateBound recordset) : recordset_(std::move(recordset)) {}

  bool Eof() const override {
    ComVariant value;
    recordset_.get(L"EOF", value.get());
    ComVariant flag;
    if (FAILED(VariantChangeType(flag.get(), value.get(), 0, VT_BOOL))) {
      raise(err::kTypeMismatch, "EOF of the host's record set");
    }
    return V_BOOL(flag.get()) != VARIANT_FALSE;
  }

  void MoveNext() override { recordset_.call(L"MoveNext", DISPATCH_METHOD, {}, nullptr); }

  int FieldCount() const override { return static_cast<int>(names().size()); }

  std::string FieldName(int index) const override {
    const std::vector<std::string>& all = names();
    if (index < 0 || static_cast<std::size_t>(index) >= all.size()) {
      raise(err::kItemNotFound, std::to_string(index));
    }
    return all[static_cast<std::size_t>(index)];
  }

 protected:
  Variant Value(int index) const override {
    ComVariant value;
    field(fields(), index).get(L"Value", value.get());
    return fromVariant(*value.get());
  }

 private:
  LateBound fields() const {
    ComVariant value;
    recordset_.get(L"Fields", value.get());
    return LateBound::objectIn(*value.get(), "Fields of the host's record set");
  }

  // Fields(index): the collection's default member, or its Item where it has none.
  static LateBound field(const LateBound& fields, int index) {
    ComVariant position;
    V_VT(position.get()) = VT_I4;
    V_I4(position.get()) = index;
    ComVariant value;
    try {
      fields.call(nullptr, kGet, {position.get()}, value.get());
    } catch (const AutomationError&) {
      fields.call(L"Item", kGet, {position.get()}, value.out());
    }
    return LateBound::objectIn(*value.get(), "a field of the host's record set");
  }

  const std::vector<std::string>& names() const {
    if (!names_) {
      const LateBound all = fields();
      ComVariant count;
      all.get(L"Count", count.get());
      const Variant number = fromVariant(*count.get());
      std::vector<std::string> found;
      const std::int64_t total = number.toInteger();
      for (std::int64_t i = 0; i < total; ++i) {
        ComVariant name;
        field(all, static_cast<int>(i)).get(L"Name", name.get());
        found.push_back(fromVariant(*name.get()).toText());
      }
      names_ = std::move(found);
    }
    return *names_;
  }

  LateBound recordset_;
  mutable std::optional<std::vector<std::string>> names_;
};

// The record set in a host call's result: null for Nothing or Empty (the engine reports error 91).
std::shared_ptr<Recordset> recordsetIn(const VARIANT& value) {
  const VARTYPE type = V_VT(&value);
  if (type == VT_EMPTY || (type == VT_DISPATCH && V_DISPATCH(&value) == nullptr)) return nullptr;
  return std::make_shared<HostRecordset>(LateBound::objectIn(value, "the host's record set"));
}

class HostMesDatabase final : public MesDatabase {
 public:
  explicit HostMesDatabase(LateBound database) : database_(std::move(database)) {}

  std::shared_ptr<Recordset> ExecuteQuery(const std::string& sql) override {
    TextArgument statement(sql);
    ComVariant result;
    database_.call(L"ExecuteQuery", kGet, {statement.get()}, result.get());
    return recordsetIn(*result.get());
  }

  std::shared_ptr<Recordset> SelectRecords(const std::string& tables, const std::string& columns,
                                           const std::string& condition,
                                           const std::string& extra) override {
    TextArgument a(tables), b(columns), c(condition), d(extra);
    ComVariant result;
    database_.call(L"SelectRecords", kGet, {a.get(), b.get(), c.get(), d.get()}, result.get());
    return recordsetIn(*result.get());
  }

 private:
  LateBound database_;
};

class HostTraceLog final : public TraceLog {
 public:
  explicit HostTraceLog(LateBound trace) : trace_(std::move(trace)) {}

  std::int16_t TraceLevel() override {
    ComVariant value;
    trace_.get(L"TraceLevel", value.get());
    ComVariant level;
    if (FAILED(VariantChangeType(level.get(), value.get(), 0, VT_I2))) raise(err::kOverflow);
    return V_I2(level.get());
  }

  // Both arguments by reference, as the component declares them: the host may change them.
  void WriteTrace(std::int16_t& level, std::string& text) override {
    SHORT number = level;
    VARIANT levelArgument;
    V_VT(&levelArgument) = VT_BYREF | VT_I2;
    V_I2REF(&levelArgument) = &number;
    TextReference entry(text);
    trace_.call(L"WriteTrace", DISPATCH_METHOD, {&levelArgument, entry.get()}, nullptr);
    level = number;
    text = entry.text();
  }

 private:
  LateBound trace_;
};

class HostIniFile final : public IniFile {
 public:
  explicit HostIniFile(LateBound ini) : ini_(std::move(ini)) {}

  std::string PathHead() override { return textOf(L"PathHead"); }
  std::string PathTail() override { return textOf(L"PathTail"); }

  void OpenFile(const std::string& path) override {
    TextArgument file(path);
    ini_.call(L"OpenFile", DISPATCH_METHOD, {file.get()}, nullptr);
  }

  std::string ReadValue(std::string& section, std::string& key) override {
    TextReference sectionArgument(section), keyArgument(key);
    ComVariant result;
    ini_.call(L"ReadValue", kGet, {sectionArgument.get(), keyArgument.get()}, result.get());
    section = sectionArgument.text();
    key = keyArgument.text();
    return fromVariant(*result.get()).toText();
  }

 private:
  std::string textOf(const wchar_t* member) {
    ComVariant result;
    ini_.get(member, result.get());
    return fromVariant(*result.get()).toText();
  }

  LateBound ini_;
};

}  // namespace

std::shared_ptr<Object> mesDatabaseFrom(IDispatch* object) {
  if (object == nullptr) return nullptr;
  if (std::shared_ptr<Object> ours = nativeOf(object)) return ours;
  LateBound host(object);
  if (!answersAny(host, {L"ExecuteQuery", L"SelectRecords"})) {
    return std::make_shared<ForeignObject>();
  }
  return std::make_shared<HostMesDatabase>(std::move(host));
}

std::shared_ptr<Object> traceLogFrom(IDispatch* object) {
  if (object == nullptr) return nullptr;
  if (std::shared_ptr<Object> ours = nativeOf(object)) return ours;
  LateBound host(object);
  if (!answersAny(host, {L"TraceLevel", L"WriteTrace"})) return std::make_shared<ForeignObject>();
  return std::make_shared<HostTraceLog>(std::move(host));
}

std::shared_ptr<IniFile> iniFileFrom(IDispatch* object) {
  if (object == nullptr) raise(err::kObjectNotSet, "the configuration reader");
  if (auto ours = std::dynamic_pointer_cast<IniFile>(nativeOf(object))) return ours;
  LateBound host(object);
  if (!answersAny(host, {L"PathHead", L"PathTail", L"OpenFile", L"ReadValue"})) {
    raise(err::kTypeMismatch,
          "the configuration reader has none of PathHead, PathTail, "
          "OpenFile and ReadValue");
  }
  return std::make_shared<HostIniFile>(std::move(host));
}

}  // namespace velmora::com
