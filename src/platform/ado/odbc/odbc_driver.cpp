#include "platform/ado/odbc/odbc_driver.hpp"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/ado/odbc/dialect.hpp"
#include "platform/ado/odbc/odbc_attributes.hpp"
#include "platform/ado/odbc/odbc_error.hpp"
#include "platform/ado/odbc/odbc_handles.hpp"
#include "platform/ado/odbc/prepared_statements.hpp"
#include "platform/ado/odbc/result_reader.hpp"
#include "platform/ado/odbc/wide_text.hpp"
#include "platform/counters/counters.hpp"
#include "platform/sql/statement.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

using odbc::Link;
using odbc::succeeded;

// The statement shapes a session keeps prepared: far more than the few dozen a check uses, few
// enough that an odd caller cannot make a server hold statements without bound.
constexpr std::size_t kKeptShapes = 256;

class OdbcSession : public Session {
 public:
  OdbcSession(std::unique_ptr<Link> link, std::string dbmsName, std::vector<std::string> secrets,
              SQLULEN queryTimeout)
      : link_(std::move(link)),
        dbmsName_(std::move(dbmsName)),
        oracle_(odbc::isOracle(dbmsName_)),
        secrets_(std::move(secrets)),
        queryTimeout_(queryTimeout) {}

  std::shared_ptr<Recordset> Execute(const std::string& sql) override {
    counters::statementPrepared();
    const std::string statementText = oracle_ ? sql : odbc::nonOracleStatement(sql);
    std::string context = "statement: " + sql;
    if (statementText != sql) context += "; as run: " + statementText;

    const odbc::StatementHandle statement = timedStatement();
    std::vector<SQLWCHAR> wide = odbc::toWide(statementText);
    const SQLRETURN rc =
        SQLExecDirectW(statement.get(), wide.data(), static_cast<SQLINTEGER>(wide.size() - 1));
    if (rc == SQL_NO_DATA) {
      // A statement that touched no row and returns none.
      return std::make_shared<MemoryRecordset>(std::vector<std::string>{},
                                               std::vector<std::vector<Variant>>{});
    }
    if (!succeeded(rc)) {
      odbc::raiseOdbcError(SQL_HANDLE_STMT, statement.get(), context, secrets_, dbmsName_);
    }
    return odbc::readResult(
        statement.get(), [&context] { return context; }, secrets_, dbmsName_);
  }

  // The statement's shape translated and prepared once (SQLPrepare) and kept, its values bound:
  // a text value as VARCHAR (sent as wide characters, converted by the driver), an integer as
  // INTEGER or BIGINT, a number with a fraction as NUMERIC text, as the server reads the
  // literals the text would hold. The result is read to its end at once, so the handle is free
  // again for the next statement of the shape. The statement as text, and as translated, is
  // written out only for a failure: translating every execution's text would cost the client
  // again what preparing the shape once saves.
  std::shared_ptr<Recordset> ExecuteStatement(const Statement& statement) override {
    const std::string shape = statement.shape();
    odbc::PreparedStatement* prepared = prepared_.find(shape);
    if (prepared == nullptr) prepared = &prepare(shape, statement);
    const bool translated = prepared->translated;
    const std::function<std::string()> context = [&statement, translated] {
      return contextOf(statement, translated);
    };

    const SQLHSTMT handle = prepared->handle.get();
    const std::vector<Statement::Value>& values = statement.values();
    std::vector<std::vector<SQLWCHAR>> texts(prepared->order.size());
    std::vector<SQLBIGINT> integers(prepared->order.size());
    std::vector<std::string> decimals(prepared->order.size());
    std::vector<SQLLEN> lengths(prepared->order.size());
    for (std::size_t place = 0; place < prepared->order.size(); ++place) {
      const std::size_t number = prepared->order[place];
      if (number == 0 || number > values.size()) {
        prepared_.drop(shape);
        throw AutomationError(err::kGenericFailure,
                              "the statement's values do not match its places (" + context() + ")",
                              FailureKind::kNoAnswer);
      }
      const Statement::Value& value = values[number - 1];
      const auto marker = static_cast<SQLUSMALLINT>(place + 1);
      SQLRETURN rc = SQL_SUCCESS;
      if (value.kind == Statement::Value::Kind::kText) {
        texts[place] = odbc::toWide(value.text);
        const std::size_t units = texts[place].size() - 1;
        lengths[place] = static_cast<SQLLEN>(units * sizeof(SQLWCHAR));
        rc = SQLBindParameter(handle, marker, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_VARCHAR,
                              std::max<SQLULEN>(units, 1), 0, texts[place].data(), lengths[place],
                              &lengths[place]);
      } else if (integerOf(value.text, integers[place])) {
        const bool small = integers[place] >= INT32_MIN && integers[place] <= INT32_MAX;
        lengths[place] = 0;
        rc = SQLBindParameter(handle, marker, SQL_PARAM_INPUT, SQL_C_SBIGINT,
                              small ? SQL_INTEGER : SQL_BIGINT, 0, 0, &integers[place], 0,
                              &lengths[place]);
      } else {
        decimals[place] = value.text;
        const std::size_t point = value.text.find('.');
        const std::size_t scale = point == std::string::npos ? 0 : value.text.size() - point - 1;
        lengths[place] = static_cast<SQLLEN>(decimals[place].size());
        rc = SQLBindParameter(handle, marker, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_NUMERIC,
                              decimals[place].size(), static_cast<SQLSMALLINT>(scale),
                              decimals[place].data(), lengths[place], &lengths[place]);
      }
      if (!succeeded(rc)) {
        prepared_.drop(shape);
        odbc::raiseOdbcError(SQL_HANDLE_STMT, handle, context(), secrets_, dbmsName_);
      }
    }
    // The handle is put back to rest (cursor closed, values unbound) however the statement ends.
    struct Rest {
      SQLHSTMT handle;
      ~Rest() {
        SQLFreeStmt(handle, SQL_CLOSE);
        SQLFreeStmt(handle, SQL_RESET_PARAMS);
      }
    } rest{handle};
    const SQLRETURN rc = SQLExecute(handle);
    if (rc == SQL_NO_DATA) {
      return std::make_shared<MemoryRecordset>(std::vector<std::string>{},
                                               std::vector<std::vector<Variant>>{});
    }
    if (!succeeded(rc)) {
      odbc::raiseOdbcError(SQL_HANDLE_STMT, handle, context(), secrets_, dbmsName_);
    }
    return odbc::readResult(handle, context, secrets_, dbmsName_);
  }

  std::string DbmsName() const override { return dbmsName_; }

  // A connection the driver knows to be dead fails at once; otherwise one short statement shows
  // whether the server still answers (a server that dropped the connection, for example after a
  // restart, is only noticed by talking to it).
  bool IsAlive() override {
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (succeeded(SQLGetConnectAttrW(link_->connection(), SQL_ATTR_CONNECTION_DEAD, &dead,
                                     SQL_IS_UINTEGER, nullptr)) &&
        dead == SQL_CD_TRUE) {
      return false;
    }
    try {
      // With the query timeout of every other statement: a driver that applies the timeout by a
      // statement of its own (PostgreSQL's sets statement_timeout) would otherwise send two more
      // for the check, one to clear the timeout and one to restore it.
      const odbc::StatementHandle statement = timedStatement();
      std::vector<SQLWCHAR> wide = odbc::toWide(oracle_ ? "SELECT 1 FROM DUAL" : "SELECT 1");
      if (!succeeded(SQLExecDirectW(statement.get(), wide.data(),
                                    static_cast<SQLINTEGER>(wide.size() - 1)))) {
        return false;
      }
      return succeeded(SQLFetch(statement.get()));
    } catch (...) {
      return false;
    }
  }

 private:
  // A new statement of the link with the session's query timeout. A driver that cannot time
  // statements out refuses the attribute or changes its value; the statement then runs as long
  // as the server lets it.
  odbc::StatementHandle timedStatement() const {
    odbc::StatementHandle statement = odbc::allocateStatement(*link_, secrets_);
    SQLSetStmtAttrW(statement.get(), SQL_ATTR_QUERY_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(queryTimeout_), SQL_IS_UINTEGER);
    return statement;
  }

  // Translates and prepares `shape` (failures name the statement as sent) and keeps it.
  odbc::PreparedStatement& prepare(const std::string& shape, const Statement& statement) {
    if (!plansPerValue_) keepPlansPerValue();
    counters::statementPrepared();
    const std::string translated = oracle_ ? shape : odbc::nonOracleStatement(shape);
    odbc::PreparedStatement prepared;
    prepared.translated = translated != shape;
    const std::string run = positionalMarkers(translated, prepared.order);
    prepared.handle = timedStatement();
    std::vector<SQLWCHAR> wide = odbc::toWide(run);
    if (!succeeded(SQLPrepareW(prepared.handle.get(), wide.data(),
                               static_cast<SQLINTEGER>(wide.size() - 1)))) {
      odbc::raiseOdbcError(SQL_HANDLE_STMT, prepared.handle.get(),
                           contextOf(statement, prepared.translated), secrets_, dbmsName_);
    }
    return prepared_.keep(shape, std::move(prepared));
  }

  // PostgreSQL plans a prepared statement for its values the first five times, then may settle
  // on one generic plan for all values, which can return unordered rows in another order than
  // the statement as text would. The session asks for a plan per value instead (the server then
  // plans each execution, as it plans a text; the parse is still saved). Other databases plan
  // by their own rules; a server that refuses the setting (before PostgreSQL 12) plans as it
  // always has.
  void keepPlansPerValue() {
    plansPerValue_ = true;
    if (dbmsName_ != "PostgreSQL") return;
    const odbc::StatementHandle handle = timedStatement();
    std::vector<SQLWCHAR> wide = odbc::toWide("SET plan_cache_mode = force_custom_plan");
    SQLExecDirectW(handle.get(), wide.data(), static_cast<SQLINTEGER>(wide.size() - 1));
  }

  // What a failure of `statement` names: its text and, when the dialect translation changed it,
  // the text as run.
  static std::string contextOf(const Statement& statement, bool translated) {
    std::string context = "statement: " + statement.text();
    if (translated) context += "; as run: " + odbc::nonOracleStatement(statement.text());
    return context;
  }

  // A plain integer that fits 64 bits ("+" and leading zeros allowed).
  static bool integerOf(const std::string& number, SQLBIGINT& out) {
    if (number.find('.') != std::string::npos) return false;
    std::int64_t value = 0;
    const char* first = number.data() + (number[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(first, number.data() + number.size(), value);
    if (ec != std::errc() || end != number.data() + number.size()) return false;
    out = static_cast<SQLBIGINT>(value);
    return true;
  }

  std::unique_ptr<Link> link_;
  std::string dbmsName_;
  bool oracle_;
  std::vector<std::string> secrets_;
  SQLULEN queryTimeout_;
  // After the link: the kept statements are freed before the connection.
  odbc::PreparedStatements prepared_{kKeptShapes};
  bool plansPerValue_ = false;
};

// Seconds as an ODBC attribute value (0: no limit); negative is error 5 naming `what`.
SQLULEN seconds(long value, const char* what, const std::string& context) {
  if (value < 0) {
    raise(err::kInvalidCall,
          std::string(what) + " " + std::to_string(value) + " s (" + context + ")");
  }
  // Compared as unsigned long long: where long is 32 bits (Windows), UINT_MAX is no long.
  const auto wide = static_cast<unsigned long long>(value);
  return static_cast<SQLULEN>(wide > UINT_MAX ? UINT_MAX : wide);
}

// SQL_DBMS_NAME of the connected link.
std::string dbmsNameOf(const Link& link, const std::string& context,
                       const std::vector<std::string>& secrets) {
  std::vector<SQLWCHAR> name(256);
  SQLSMALLINT bytes = 0;
  const SQLRETURN rc =
      SQLGetInfoW(link.connection(), SQL_DBMS_NAME, name.data(),
                  static_cast<SQLSMALLINT>(name.size() * sizeof(SQLWCHAR)), &bytes);
  if (!succeeded(rc)) {
    odbc::raiseOdbcError(SQL_HANDLE_DBC, link.connection(), "asking the DBMS name; " + context,
                         secrets);
  }
  const std::size_t units =
      std::min(static_cast<std::size_t>(bytes < 0 ? 0 : bytes) / sizeof(SQLWCHAR), name.size() - 1);
  return odbc::fromWide(name.data(), units);
}

}  // namespace

std::unique_ptr<Session> openOdbcSession(const std::string& connectionString,
                                         long loginTimeoutSeconds, long queryTimeoutSeconds) {
  const std::string complete = odbc::withProviderDefaults(connectionString);
  const std::vector<odbc::Attribute> attributes = odbc::parseAttributes(complete);
  const std::vector<std::string> secrets = odbc::secretsOf(attributes);
  const std::string context = "connecting to " + odbc::shownAttributes(attributes);
  const SQLULEN timeout = seconds(loginTimeoutSeconds, "login timeout", context);
  const SQLULEN queryTimeout = seconds(queryTimeoutSeconds, "query timeout", context);

  auto link = std::make_unique<Link>();
  const SQLHDBC connection = link->connection();
  if (!succeeded(SQLSetConnectAttrW(connection, SQL_ATTR_LOGIN_TIMEOUT,
                                    reinterpret_cast<SQLPOINTER>(timeout), SQL_IS_UINTEGER))) {
    odbc::raiseOdbcError(SQL_HANDLE_DBC, connection, "setting the login timeout; " + context,
                         secrets);
  }
  // The component only reads; a driver that can enforce it is told so. Drivers that cannot
  // refuse the attribute, which changes nothing.
  SQLSetConnectAttrW(connection, SQL_ATTR_ACCESS_MODE,
                     reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_ONLY)),
                     SQL_IS_UINTEGER);

  std::vector<SQLWCHAR> wide = odbc::toWide(complete);
  if (wide.size() - 1 > static_cast<std::size_t>(SHRT_MAX)) {
    raise(err::kInvalidCall, "ODBC connection string longer than " + std::to_string(SHRT_MAX) +
                                 " characters (" + context + ")");
  }
  const SQLRETURN rc =
      SQLDriverConnectW(connection, nullptr, wide.data(), static_cast<SQLSMALLINT>(wide.size() - 1),
                        nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
  if (!succeeded(rc)) odbc::raiseOdbcError(SQL_HANDLE_DBC, connection, context, secrets);
  link->markConnected();

  std::string dbmsName = dbmsNameOf(*link, context, secrets);
  return std::make_unique<OdbcSession>(std::move(link), std::move(dbmsName), secrets, queryTimeout);
}

}  // namespace velmora::ado
