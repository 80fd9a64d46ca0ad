#include <sqlite3.h>

#include <charconv>
#include <climits>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>

#include "platform/ado/outer_join.hpp"
#include "platform/ado/sqlite/file_identity.hpp"
#include "platform/ado/sqlite/oracle_functions.hpp"
#include "platform/ado/sqlite/prepared_shapes.hpp"
#include "platform/ado/sqlite/sqlite_driver.hpp"
#include "platform/ado/sqlite/sqlite_error.hpp"
#include "platform/ado/sqlite/sqlite_recordset.hpp"
#include "platform/counters/counters.hpp"
#include "platform/sql/statement.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

using sqlite::FileIdentity;
using sqlite::SqliteRecordset;
using sqlite::StatementHandle;

// SQLite's memory statistics take one process-wide mutex on every allocation, so sessions
// checking on several threads would run no faster than one. They are switched off once, before
// the first database is opened; when the host has used SQLite already the call is refused
// (SQLITE_MISUSE) and the statistics stay as the host has them, which costs speed only.
void disableMemoryStatistics() {
  static std::once_flag once;
  std::call_once(once, [] { sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); });
}

[[noreturn]] void cannotOpen(int code, const std::string& path, const std::string& reason) {
  throw AutomationError(code, "cannot open SQLite database '" + path + "': " + reason,
                        FailureKind::kNoAnswer);
}

// The statement shapes a session keeps prepared: far more than the few dozen a check uses, few
// enough that an odd caller cannot make a session hold memory without bound.
constexpr std::size_t kKeptShapes = 256;

class SqliteSession : public Session {
 public:
  SqliteSession(std::shared_ptr<sqlite3> db, std::string path)
      : db_(std::move(db)), path_(std::move(path)), identity_(FileIdentity::of(path_)) {}

  std::shared_ptr<Recordset> Execute(const std::string& sql) override {
    counters::statementPrepared();
    const std::string rewritten = rewriteOuterJoins(sql);
    StatementHandle statement = prepareOne(rewritten, sql, [&] { return rewritten; });
    return std::make_shared<SqliteRecordset>(db_, std::move(statement), sql, rewritten);
  }

  // The statement's shape prepared once and kept (prepared_shapes.hpp), its values bound: a text
  // value as text, a number as an integer (a double when it has a fraction or does not fit), just
  // as SQLite reads the literal the text would hold. The outer-join rewrite runs once per shape.
  // Without STAT4 (Debian's SQLite has none) the plan of "col = ?" is the plan of "col = 'v'";
  // with STAT4 SQLite prepares again when a bound value could change the plan.
  std::shared_ptr<Recordset> ExecuteStatement(const Statement& statement) override {
    const std::string shape = statement.shape();
    std::string rewritten;
    sqlite3_stmt* kept = shapes_->take(shape, rewritten);
    if (kept == nullptr) {
      counters::statementPrepared();
      if (rewritten.empty()) rewritten = rewriteOuterJoins(shape);
      kept = prepareOne(rewritten, statement.text(), [&] {
               return rewriteOuterJoins(statement.text());
             }).release();
    }
    StatementHandle prepared(kept, sqlite::StatementFinalizer{shapes_, shape, rewritten});
    const std::vector<Statement::Value>& values = statement.values();
    if (static_cast<std::size_t>(sqlite3_bind_parameter_count(kept)) != values.size()) {
      throw AutomationError(
          err::kGenericFailure,
          "the statement's values do not match its places (statement: " + statement.text() + ")",
          FailureKind::kNoAnswer);
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (bindValue(kept, static_cast<int>(i) + 1, values[i]) != SQLITE_OK) {
        sqlite::raiseStatementError(db_.get(), statement.text(),
                                    rewriteOuterJoins(statement.text()));
      }
    }
    return std::make_shared<SqliteRecordset>(db_, std::move(prepared), statement.text(), "");
  }

  std::string DbmsName() const override { return "SQLite"; }

  // Alive while the path still names the very file the session opened, unchanged: a pooled
  // session must not keep answering from a file that was since replaced (a rebuilt database),
  // and one that was written to is simply opened afresh.
  bool IsAlive() override {
    const std::optional<FileIdentity> now = FileIdentity::of(path_);
    return now && identity_ && *now == *identity_;
  }

 private:
  // Prepares `rewritten`, the one statement of a call; failures name `sql` and the rewrite of it
  // that `shown` gives. What follows the statement may be blanks, comments and ";" only; blanks
  // alone (the component's statements end with one) need no second look by the parser.
  template <class Shown>
  sqlite::StatementHandle prepareOne(const std::string& rewritten, const std::string& sql,
                                     Shown&& shown) {
    if (rewritten.size() > static_cast<std::size_t>(INT_MAX)) {
      throw AutomationError(SQLITE_TOOBIG, "statement too long", FailureKind::kNoAnswer);
    }
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db_.get(), rewritten.c_str(), static_cast<int>(rewritten.size()),
                                &raw, &tail);
    StatementHandle statement(raw);
    if (rc != SQLITE_OK) sqlite::raiseStatementError(db_.get(), sql, shown());
    if (statement == nullptr) {
      throw AutomationError(err::kGenericFailure, "no statement to run (statement: " + sql + ")",
                            FailureKind::kNoAnswer);
    }
    const std::size_t rest = static_cast<std::size_t>(tail - rewritten.c_str());
    if (rewritten.find_first_not_of(" \t\r\n", rest) != std::string::npos) {
      sqlite3_stmt* extra = nullptr;
      rc = sqlite3_prepare_v2(db_.get(), tail, static_cast<int>(rewritten.size() - rest), &extra,
                              nullptr);
      StatementHandle extraStatement(extra);
      if (rc != SQLITE_OK) sqlite::raiseStatementError(db_.get(), sql, shown());
      if (extraStatement != nullptr) {
        throw AutomationError(err::kGenericFailure,
                              "more than one statement in one call (statement: " + sql + ")",
                              FailureKind::kNoAnswer);
      }
    }
    return statement;
  }

  static int bindValue(sqlite3_stmt* statement, int place, const Statement::Value& value) {
    if (value.kind == Statement::Value::Kind::kText) {
      return sqlite3_bind_text64(statement, place, value.text.data(), value.text.size(),
                                 SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    const std::string& number = value.text;
    if (number.find('.') == std::string::npos) {
      std::int64_t integer = 0;
      const char* first = number.data() + (number[0] == '+' ? 1 : 0);
      const auto [end, ec] = std::from_chars(first, number.data() + number.size(), integer);
      if (ec == std::errc() && end == number.data() + number.size()) {
        return sqlite3_bind_int64(statement, place, integer);
      }
    }
    // from_chars, not strtod: the host's locale must not change the number.
    double real = 0;
    const char* first = number.data() + (number[0] == '+' ? 1 : 0);
    std::from_chars(first, number.data() + number.size(), real);
    return sqlite3_bind_double(statement, place, real);
  }

  std::shared_ptr<sqlite3> db_;
  std::shared_ptr<sqlite::PreparedShapes> shapes_ =
      std::make_shared<sqlite::PreparedShapes>(kKeptShapes);
  std::string path_;
  std::optional<FileIdentity> identity_;  // none when the file could not be examined at open
};

}  // namespace

std::unique_ptr<Session> openSqliteSession(const std::string& path, long busyTimeoutSeconds) {
  if (path.empty()) {
    throw AutomationError(SQLITE_CANTOPEN,
                          "cannot open SQLite database: no file given (empty Data Source)",
                          FailureKind::kNoAnswer);
  }
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) cannotOpen(SQLITE_CANTOPEN, path, "no such file");
  if (std::filesystem::is_directory(status)) cannotOpen(SQLITE_CANTOPEN, path, "is a folder");

  disableMemoryStatistics();
  // A relative name starting with "file:" must not be read as a URI.
  const std::string name = path.rfind("file:", 0) == 0 ? "./" + path : path;
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(name.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  std::shared_ptr<sqlite3> db(raw, [](sqlite3* handle) { sqlite3_close_v2(handle); });
  if (rc != SQLITE_OK) {
    cannotOpen(rc, path, raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
  }
  sqlite3_extended_result_codes(raw, 1);

  long milliseconds = INT_MAX;
  if (busyTimeoutSeconds > 0 && busyTimeoutSeconds < INT_MAX / 1000) {
    milliseconds = busyTimeoutSeconds * 1000;
  }
  sqlite3_busy_timeout(raw, static_cast<int>(milliseconds));

  if (const int frc = sqlite::registerOracleFunctions(raw); frc != SQLITE_OK) {
    cannotOpen(frc, path, sqlite3_errmsg(raw));
  }

  // Read the schema now, so that a file that is no database fails here, naming the file.
  if (sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
      SQLITE_OK) {
    cannotOpen(sqlite3_extended_errcode(raw), path, sqlite3_errmsg(raw));
  }
  return std::make_unique<SqliteSession>(std::move(db), name);
}

}  // namespace velmora::ado
