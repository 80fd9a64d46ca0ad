#include "com_variant.hpp"

#include <cstdint>
#include <cstdio>

#include "com_text.hpp"
#include "platform/ado/odbc/column_data.hpp"
#include "velmora/error.hpp"

namespace velmora::com {
namespace {

// The text of an exact number (VT_DECIMAL, VT_CY) in the invariant locale, read as the engine
// reads a NUMERIC column's text.
Variant exactNumber(const VARIANT& value) {
  ComVariant text;
  if (FAILED(VariantChangeTypeEx(text.get(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0,
                                 VT_BSTR))) {
    raise(err::kOverflow);
  }
  return ado::odbc::numericValue(toUtf8(V_BSTR(text.get())));
}

Variant dateText(DATE date) {
  SYSTEMTIME time{};
  if (!VariantTimeToSystemTime(date, &time)) raise(err::kOverflow);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth,
                time.wDay, time.wHour, time.wMinute, time.wSecond);
  return Variant(std::string(text));
}

}  // namespace

Variant fromVariant(const VARIANT& value) {
  const VARTYPE type = V_VT(&value);
  if (type == (VT_BYREF | VT_VARIANT)) {
    if (V_VARIANTREF(&value) == nullptr) raise(err::kTypeMismatch);
    return fromVariant(*V_VARIANTREF(&value));
  }
  if ((type & VT_BYREF) != 0) {
    // A typed reference (VT_BYREF | VT_I4, ...): copy the value out of it first.
    ComVariant copy;
    if (FAILED(VariantCopyInd(copy.get(), const_cast<VARIANT*>(&value)))) {
      raise(err::kTypeMismatch);
    }
    return fromVariant(*copy.get());
  }
  switch (type) {
    case VT_EMPTY:
      return Variant();
    case VT_NULL:
      return Variant::null();
    case VT_I1:
      return Variant(std::int64_t{V_I1(&value)});
    case VT_UI1:
      return Variant(std::int64_t{V_UI1(&value)});
    case VT_I2:
      return Variant(std::int64_t{V_I2(&value)});
    case VT_UI2:
      return Variant(std::int64_t{V_UI2(&value)});
    case VT_I4:
      return Variant(std::int64_t{V_I4(&value)});
    case VT_UI4:
      return Variant(std::int64_t{V_UI4(&value)});
    case VT_INT:
      return Variant(std::int64_t{V_INT(&value)});
    case VT_UINT:
      return Variant(std::int64_t{V_UINT(&value)});
    case VT_I8:
      return Variant(std::int64_t{V_I8(&value)});
    case VT_UI8:
      if (V_UI8(&value) > static_cast<ULONGLONG>(INT64_MAX)) {
        return Variant(static_cast<double>(V_UI8(&value)));
      }
      return Variant(static_cast<std::int64_t>(V_UI8(&value)));
    case VT_R4:
      return Variant(static_cast<double>(V_R4(&value)));
    case VT_R8:
      return Variant(V_R8(&value));
    case VT_DECIMAL:
    case VT_CY:
      return exactNumber(value);
    case VT_DATE:
      return dateText(V_DATE(&value));
    case VT_BSTR:
      return Variant(toUtf8(V_BSTR(&value)));
    case VT_BOOL:
      return Variant(V_BOOL(&value) != VARIANT_FALSE);
    default:
      raise(err::kTypeMismatch, "a value of automation type " + std::to_string(type));
  }
}

void toVariant(const Variant& value, VARIANT* out) {
  VariantClear(out);
  switch (value.type()) {
    case Variant::Type::Empty:
      V_VT(out) = VT_EMPTY;
      return;
    case Variant::Type::Null:
      V_VT(out) = VT_NULL;
      return;
    case Variant::Type::Integer: {
      const std::int64_t number = value.integer();
      if (number >= INT32_MIN && number <= INT32_MAX) {
        V_VT(out) = VT_I4;
        V_I4(out) = static_cast<LONG>(number);
      } else {
        V_VT(out) = VT_DECIMAL;
        VarDecFromI8(number, &V_DECIMAL(out));
        V_VT(out) = VT_DECIMAL;  // VarDecFromI8 writes the whole DECIMAL, type field included
      }
      return;
    }
    case Variant::Type::Double:
      V_VT(out) = VT_R8;
      V_R8(out) = value.real();
      return;
    case Variant::Type::Text:
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = toBstr(value.text());
      return;
    case Variant::Type::Boolean:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = value.boolean() ? VARIANT_TRUE : VARIANT_FALSE;
      return;
  }
}

}  // namespace velmora::com
