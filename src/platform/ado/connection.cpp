#include "platform/ado/connection.hpp"

#include <filesystem>

#include "platform/ado/connection_string.hpp"
#include "platform/ado/odbc/odbc_driver.hpp"
#include "platform/ado/odbc/oledb_translation.hpp"
#include "platform/ado/provider_table.hpp"
#include "platform/ado/session_pool.hpp"
#include "platform/ado/sqlite/sqlite_driver.hpp"
#include "platform/cache/statement_cache.hpp"
#include "platform/counters/counters.hpp"
#include "platform/sql/statement.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

// ADO's numbers for operations on a connection in the wrong state.
constexpr std::int32_t kObjectOpen = 3705;
constexpr std::int32_t kObjectClosed = 3709;

[[noreturn]] void raiseClosed() {
  throw AutomationError(kObjectClosed,
                        "The connection cannot be used to perform this operation. It is either "
                        "closed or invalid in this context.");
}

// The SQLite file named by Data Source; a relative name is taken against the spec's folder
// ("sqlite:<folder>") when it has one.
std::string sqlitePath(const DriverSpec& spec, const ConnectionString& settings) {
  const std::string source = settings.get("Data Source");
  if (source.empty() || spec.argument.empty()) return source;
  const std::filesystem::path path(source);
  if (path.is_absolute()) return source;
  return (std::filesystem::path(spec.argument) / path).string();
}

}  // namespace

Session::~Session() = default;

std::shared_ptr<Recordset> Session::ExecuteStatement(const Statement& statement) {
  return Execute(statement.text());
}

Connection::Connection(ProviderMap providers) : providers_(std::move(providers)) {}

Connection::~Connection() {
  try {
    Close();
  } catch (...) {
    // A session that cannot be pooled is simply closed.
  }
}

void Connection::Open(const std::string& connectionString, const std::string& user,
                      const std::string& password, long /*options*/) {
  if (session_ != nullptr) {
    throw AutomationError(kObjectOpen, "Operation is not allowed when the object is open.");
  }
  const ConnectionString settings = ConnectionString::parse(connectionString);
  // As in ADO, the connection string may name the provider when the property does not.
  std::string provider = Provider;
  if (provider.empty()) provider = settings.get("Provider");
  const DriverSpec spec = resolveProvider(provider, providers_);
  const bool sqlite = spec.driver == DriverSpec::Driver::Sqlite;
  const std::string driverString =
      sqlite ? sqlitePath(spec, settings)
             : odbc::odbcConnectionString(spec.argument, settings, user, password);
  fullConnectionString_ = (sqlite ? "sqlite\n" : "odbc\n") + driverString;
  // A session keeps the timeouts it was opened with, so the pool tells sessions apart by them too.
  poolKey_ = fullConnectionString_ + "\n" +
             (sqlite ? std::to_string(BusyTimeout)
                     : std::to_string(ConnectionTimeout) + "," + std::to_string(CommandTimeout));
  if (Pooling) {
    session_ = SessionPool::process().take(poolKey_);
    if (session_ != nullptr) {
      counters::pooledSessionReused();
      return;
    }
  }
  if (sqlite) {
    session_ = openSqliteSession(driverString, BusyTimeout);
  } else {
    session_ = openOdbcSession(driverString, ConnectionTimeout, CommandTimeout);
  }
  counters::login();
}

void Connection::Close() {
  std::unique_ptr<Session> session = std::move(session_);
  if (session != nullptr && Pooling) {
    SessionPool::process().give(poolKey_, std::move(session));
  }
}

std::shared_ptr<Recordset> Connection::Execute(const std::string& sql) {
  Session& open = session();
  auto send = [&] {
    counters::statementExecuted();
    return open.Execute(sql);
  };
  if (statementCache == nullptr) return send();
  return statementCache->answer(cacheKey({fullConnectionString_, sql}), send);
}

std::shared_ptr<Recordset> Connection::ExecuteStatement(const Statement& statement) {
  Session& open = session();
  auto send = [&] {
    counters::statementExecuted();
    return BindValues ? open.ExecuteStatement(statement) : open.Execute(statement.text());
  };
  if (statementCache == nullptr) return send();
  return statementCache->answer(cacheKey({fullConnectionString_, statement.text()}), send);
}

Session& Connection::session() {
  if (session_ == nullptr) raiseClosed();
  return *session_;
}

}  // namespace velmora::ado
