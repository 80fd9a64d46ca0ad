// Values across the COM boundary: automation VARIANTs and the engine's Variant.
//
// A value a host hands in arrives as whatever type its database layer delivered (VT_I2, VT_I4,
// VT_R8, VT_DECIMAL, VT_CY, VT_BSTR, VT_DATE, VT_NULL, ...). It becomes the value the engine's
// own ODBC driver would have made of the same column: whole numbers as integers, other numbers
// as doubles, exact decimals read the way a NUMERIC column's text is read, dates as
// "YYYY-MM-DD HH:MM:SS" text, Null as Null.
#pragma once

#include <windows.h>  // before every other Windows header: they need its types

#include <oleauto.h>

#include "velmora/variant.hpp"

namespace velmora::com {

// Owns one VARIANT.
class ComVariant {
 public:
  ComVariant() { VariantInit(&value_); }
  ~ComVariant() { VariantClear(&value_); }
  ComVariant(const ComVariant&) = delete;
  ComVariant& operator=(const ComVariant&) = delete;

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  // Clears the held value first.
  VARIANT* out() {
    VariantClear(&value_);
    return &value_;
  }

 private:
  VARIANT value_;
};

// The value behind `value` (a VT_BYREF value is read through its reference). A type the engine
// has no value for (an object, an array, an error code) is error 13.
Variant fromVariant(const VARIANT& value);

// Writes `value` into `out` (cleared first): Empty, Null, VT_I4 (VT_DECIMAL beyond 32 bits, which
// scripts read as well), VT_R8, VT_BSTR, VT_BOOL.
void toVariant(const Variant& value, VARIANT* out);

}  // namespace velmora::com
