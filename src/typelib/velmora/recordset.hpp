// Recordset: the forward-only result of a statement.
//
// The component reads every query result forward: it tests Eof, reads fields by name (compared
// without regard to case, as Oracle returns DEFECT for the alias Defect) or by position from 0,
// and calls MoveNext. Reading a field at the end is error 3021; an unknown name or position is
// error 3265. Drivers implement the protected primitives; MemoryRecordset holds rows in memory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "velmora/export.h"
#include "velmora/variant.hpp"

namespace velmora {

class VELMORA_EXPORT Recordset {
 public:
  virtual ~Recordset();

  // True when there is no current row (the statement gave no row, or MoveNext passed the last).
  // Named Eof because EOF is a macro of the C library.
  virtual bool Eof() const = 0;

  // Moves to the next row; at the end it is error 3021.
  virtual void MoveNext() = 0;

  virtual int FieldCount() const = 0;
  // The name of the field at `index` (from 0) as the statement gave it.
  virtual std::string FieldName(int index) const = 0;

  // The value of the current row's field, by name (case-insensitive) or by position from 0.
  Variant Fields(std::string_view name) const;
  Variant Fields(int index) const;

  // Position of the named field, or -1.
  int FindField(std::string_view name) const;

 protected:
  // The current row's value at a valid `index`; called only when not at the end.
  virtual Variant Value(int index) const = 0;
};

// A record set over rows held in memory: what a scripted database answers with, and what a
// driver may return when it reads a whole result at once.
class VELMORA_EXPORT MemoryRecordset : public Recordset {
 public:
  MemoryRecordset(std::vector<std::string> columns, std::vector<std::vector<Variant>> rows);

  bool Eof() const override { return position_ >= rows_.size(); }
  void MoveNext() override;
  int FieldCount() const override { return static_cast<int>(columns_.size()); }
  std::string FieldName(int index) const override;

 protected:
  Variant Value(int index) const override;

 private:
  std::vector<std::string> columns_;
  std::vector<std::vector<Variant>> rows_;
  std::size_t position_ = 0;
};

}  // namespace velmora
