// The MES client's objects that the component calls: the MES database, the trace and the
// configuration file. A client implements these interfaces (the library ships working ones in
// velmora/client.hpp) and hands the objects to the check object.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "velmora/export.h"
#include "velmora/object.hpp"
#include "velmora/recordset.hpp"

namespace velmora {

// The MES database (Oracle dialect). Every call either returns a record set positioned on its
// first row, with numeric columns as numbers and values under the statement's column names and
// aliases, or throws AutomationError. A failure marked FailureKind::kNoAnswer (the database could
// not answer), or unmarked with a number other than the data errors that endsCheckRun lists,
// ends the check run with the result ""; so does a null record set (error 91).
class VELMORA_EXPORT MesDatabase : public virtual Object {
 public:
  ~MesDatabase() override;

  // Runs one complete SQL statement.
  virtual std::shared_ptr<Recordset> ExecuteQuery(const std::string& sql) = 0;

  // Rows of `columns` from `tables` satisfying `condition`; `extra` (an ORDER BY or similar) is
  // appended after the condition. The component always passes an empty `extra`.
  virtual std::shared_ptr<Recordset> SelectRecords(const std::string& tables,
                                                   const std::string& columns,
                                                   const std::string& condition,
                                                   const std::string& extra) = 0;
};

// The trace. The component asks for the level, then writes the entry with that level (0 when
// asking failed); it relies on nothing and ignores every failure.
class VELMORA_EXPORT TraceLog : public virtual Object {
 public:
  ~TraceLog() override;

  virtual std::int16_t TraceLevel() = 0;
  virtual void WriteTrace(std::int16_t& level, std::string& text) = 0;
};

// The MES configuration file reader. A new one serves every check run: the component opens
// PathHead() + PathTail() + "/INI/MESconfig.ini" and reads section "MSSQL".
class VELMORA_EXPORT IniFile : public virtual Object {
 public:
  ~IniFile() override;

  virtual std::string PathHead() = 0;
  virtual std::string PathTail() = 0;
  // Throws AutomationError naming the file when it cannot be read.
  virtual void OpenFile(const std::string& path) = 0;
  // The value, or "" when the section or key is missing.
  virtual std::string ReadValue(std::string& section, std::string& key) = 0;
};

}  // namespace velmora
