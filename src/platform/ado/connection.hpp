// Connection and Command: the ADO-like layer over which the component reads the inspection
// database, and over which the client's MesDatabase reads the MES database.
//
// A Connection is configured (ConnectionTimeout, CursorLocation, Provider), then opened with an
// OLE DB style connection string ("Data Source=...;User Id=...;Password=...;Initial
// Catalog=...;"). The provider name resolves, through the context's provider map, to a built-in
// driver (sqlite or odbc) that does the work. Record sets returned by Execute own their driver
// resources and may outlive neither the process nor their connection's driver library, but may
// outlive the Connection object itself.
//
// A connection may pool its session (Pooling): closed, it returns the session to the process's
// session pool (session_pool.hpp) instead of logging out, and the next connection opened with the
// same full connection string reuses it. A connection may also answer through a per-run statement
// cache (statementCache), keyed by its full connection string and the statement.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "velmora/context.hpp"
#include "velmora/recordset.hpp"

namespace velmora {
class Statement;
class StatementCache;
}  // namespace velmora

namespace velmora::ado {

using ProviderMap = std::map<std::string, std::string, CaseInsensitiveLess>;

// An open driver connection.
class Session {
 public:
  virtual ~Session();
  // Runs one statement and returns its rows (forward only). Failures are AutomationErrors whose
  // description carries the driver's message.
  virtual std::shared_ptr<Recordset> Execute(const std::string& sql) = 0;
  // Runs one statement value, its values bound where the driver can (each shape prepared once
  // per session and kept, least recently used out). By default its text is run.
  virtual std::shared_ptr<Recordset> ExecuteStatement(const Statement& statement);
  // The database product behind the session ("SQLite", "Oracle", "PostgreSQL", ...).
  virtual std::string DbmsName() const = 0;
  // Whether the session can still be used: the pool's health check before it hands an idle
  // session out again. Cheap (at most one short statement), and never throws.
  virtual bool IsAlive() = 0;
};

inline constexpr long kUseServer = 2;  // CursorLocation values
inline constexpr long kUseClient = 3;
inline constexpr long kCmdText = 1;  // CommandType of a text command

class Connection {
 public:
  // `providers` maps provider names to driver specs (Context::providers).
  explicit Connection(ProviderMap providers = {});
  // Closes the connection (see Close).
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  long ConnectionTimeout = 15;  // seconds the login may take (ODBC); 0 waits without limit
  long CommandTimeout = 30;     // seconds a statement may run (ODBC); 0 without limit
  long BusyTimeout = 15;        // seconds SQLite waits for a lock held by a writer; 0 no limit
  long CursorLocation = kUseServer;
  std::string Provider;
  // Set before Open: the session comes from the process's session pool when a healthy one of the
  // same full connection string is idle there, and returns to it on Close.
  bool Pooling = false;
  // When set, Execute answers through this cache (see statement_cache.hpp), keyed by the full
  // connection string and the statement.
  std::shared_ptr<StatementCache> statementCache;
  // Whether Execute of a statement value binds its values (the session's shapes) or runs its
  // text. Off for a connection made here; the component's own connections follow
  // DatabaseTimeouts::bindValues.
  bool BindValues = false;

  // Opens the connection through the provider's driver. `user` and `password`, when not empty,
  // take precedence over User Id and Password of the connection string. Throws AutomationError
  // naming the provider when it resolves to no driver, or carrying the driver's failure.
  void Open(const std::string& connectionString, const std::string& user = "",
            const std::string& password = "", long options = -1);

  bool IsOpen() const { return session_ != nullptr; }

  // Ends the session: back to the session pool when pooling, else logged out. A closed
  // connection may be opened again; closing it again does nothing.
  void Close();

  // Runs a statement on the open connection (error 3709 when it is not open).
  std::shared_ptr<Recordset> Execute(const std::string& sql);
  // Runs a statement value: cached by its text as above; sent bound when BindValues is set.
  std::shared_ptr<Recordset> ExecuteStatement(const Statement& statement);

  // The open driver session (error 3709 when not open).
  Session& session();

 private:
  ProviderMap providers_;
  std::unique_ptr<Session> session_;
  // The driver and the connection string handed to it (the password included): the key of its
  // statements in the cache. Never shown.
  std::string fullConnectionString_;
  // The full connection string and the timeouts the session was opened with: its key in the
  // session pool. Never shown.
  std::string poolKey_;
};

class Command {
 public:
  std::shared_ptr<Connection> ActiveConnection;
  long CommandType = kCmdText;
  std::string CommandText;

  // Runs CommandText on ActiveConnection (error 91 when there is none).
  std::shared_ptr<Recordset> Execute(long options = -1);
};

}  // namespace velmora::ado
