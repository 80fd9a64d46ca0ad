// The record set of one SQLite statement, read forward as it is stepped.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "velmora/recordset.hpp"

namespace velmora::ado::sqlite {

class PreparedShapes;

// Ends a prepared statement: finalized, or, for a statement of a kept shape, handed back to the
// session's prepared shapes (as long as they exist) for the next statement of that shape.
struct StatementFinalizer {
  std::shared_ptr<PreparedShapes> keeper;
  std::string shape;
  std::string prepared;
  void operator()(sqlite3_stmt* statement) const;
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Owns its prepared statement and shares the database handle, so it may outlive the session
// and the Connection that made it. Construction steps to the first row (a failing first step is
// the statement's failure); the statement is finalized as soon as the last row has been passed.
class SqliteRecordset : public Recordset {
 public:
  // `sql` is the statement as sent, `rewritten` as it was prepared (for error descriptions; ""
  // when the statement's values are bound: the rewrite of `sql` is then made for the message).
  SqliteRecordset(std::shared_ptr<sqlite3> db, StatementHandle statement, std::string sql,
                  std::string rewritten);

  bool Eof() const override { return statement_ == nullptr; }
  void MoveNext() override;
  int FieldCount() const override { return static_cast<int>(columns_.size()); }
  std::string FieldName(int index) const override;

 protected:
  Variant Value(int index) const override;

 private:
  void step();

  std::shared_ptr<sqlite3> db_;
  StatementHandle statement_;
  std::string sql_;
  std::string rewritten_;
  std::vector<std::string> columns_;
};

}  // namespace velmora::ado::sqlite
