#include "platform/ado/sqlite/sqlite_recordset.hpp"

#include "platform/ado/outer_join.hpp"
#include "platform/ado/sqlite/prepared_shapes.hpp"
#include "platform/ado/sqlite/sqlite_error.hpp"
#include "velmora/error.hpp"

namespace velmora::ado::sqlite {

void StatementFinalizer::operator()(sqlite3_stmt* statement) const {
  if (keeper != nullptr) {
    keeper->give(shape, prepared, statement);
  } else {
    sqlite3_finalize(statement);
  }
}

SqliteRecordset::SqliteRecordset(std::shared_ptr<sqlite3> db, StatementHandle statement,
                                 std::string sql, std::string rewritten)
    : db_(std::move(db)),
      statement_(std::move(statement)),
      sql_(std::move(sql)),
      rewritten_(std::move(rewritten)) {
  const int count = sqlite3_column_count(statement_.get());
  columns_.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const char* name = sqlite3_column_name(statement_.get(), i);
    columns_.emplace_back(name != nullptr ? name : "");
  }
  step();
}

void SqliteRecordset::step() {
  const int rc = sqlite3_step(statement_.get());
  if (rc == SQLITE_ROW) return;
  if (rc == SQLITE_DONE) {
    statement_.reset();
    return;
  }
  // The message is the database's now: ending the statement (a kept one is reset) must not
  // replace it.
  const int code = sqlite3_extended_errcode(db_.get());
  const std::string message = sqlite3_errmsg(db_.get());
  statement_.reset();
  raiseStatementError(code, message, sql_,
                      rewritten_.empty() ? rewriteOuterJoins(sql_) : rewritten_);
}

void SqliteRecordset::MoveNext() {
  if (Eof()) raise(err::kNoCurrentRecord);
  step();
}

std::string SqliteRecordset::FieldName(int index) const {
  if (index < 0 || index >= FieldCount()) raise(err::kItemNotFound, std::to_string(index));
  return columns_[static_cast<std::size_t>(index)];
}

Variant SqliteRecordset::Value(int index) const {
  sqlite3_stmt* statement = statement_.get();
  switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER:
      return Variant(static_cast<std::int64_t>(sqlite3_column_int64(statement, index)));
    case SQLITE_FLOAT:
      return Variant(sqlite3_column_double(statement, index));
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
      const int bytes = sqlite3_column_bytes(statement, index);
      return Variant(std::string(text != nullptr ? text : "", static_cast<std::size_t>(bytes)));
    }
    case SQLITE_BLOB: {
      const auto* blob = static_cast<const char*>(sqlite3_column_blob(statement, index));
      const int bytes = sqlite3_column_bytes(statement, index);
      return Variant(blob != nullptr ? std::string(blob, static_cast<std::size_t>(bytes))
                                     : std::string());
    }
    default:
      return Variant::null();
  }
}

}  // namespace velmora::ado::sqlite
