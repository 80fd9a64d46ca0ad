#include "client/mes_database.hpp"

#include <cctype>
#include <filesystem>

#include "platform/ado/connection_string.hpp"
#include "platform/ado/odbc/odbc_attributes.hpp"
#include "platform/ado/odbc/odbc_error.hpp"
#include "platform/automation/text_compare.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace client {
namespace {

bool hasPrefix(const std::string& text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         equalsIgnoreCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

// The length of the URI's scheme with its ":" ("oracle:" in "oracle:DSN=mes"), 0 when it has
// none.
std::size_t schemeLength(const std::string& uri) {
  std::size_t i = 0;
  while (i < uri.size() && (std::isalnum(static_cast<unsigned char>(uri[i])) != 0 ||
                            uri[i] == '+' || uri[i] == '-' || uri[i] == '.')) {
    ++i;
  }
  return i > 0 && i < uri.size() && uri[i] == ':' ? i + 1 : 0;
}

[[noreturn]] void invalidUri(const std::string& uri, const std::string& reason) {
  raise(err::kInvalidCall, "MES database '" + shownUri(uri) + "': " + reason);
}

}  // namespace

std::string sqliteFileOf(const std::string& uri, const std::string& home) {
  if (!hasPrefix(uri, "sqlite:")) return "";
  std::filesystem::path path(uri.substr(7));
  if (path.is_relative() && !home.empty() && !path.empty())
    path = std::filesystem::path(home) / path;
  return path.string();
}

AdoMesDatabase::AdoMesDatabase(std::shared_ptr<ado::Connection> connection)
    : connection_(std::move(connection)) {}

std::shared_ptr<Recordset> AdoMesDatabase::ExecuteQuery(const std::string& sql) {
  ado::Command command;
  command.ActiveConnection = connection_;
  command.CommandType = ado::kCmdText;
  command.CommandText = sql;
  return command.Execute();
}

std::shared_ptr<Recordset> AdoMesDatabase::SelectRecords(const std::string& tables,
                                                         const std::string& columns,
                                                         const std::string& condition,
                                                         const std::string& extra) {
  return ExecuteQuery(selectRecordsStatement(tables, columns, condition, extra));
}

std::shared_ptr<Recordset> AdoMesDatabase::ExecuteStatement(const Statement& statement) {
  return connection_->ExecuteStatement(statement);
}

}  // namespace client

std::string selectRecordsStatement(const std::string& tables, const std::string& columns,
                                   const std::string& condition, const std::string& extra) {
  return selectRecords(tables, columns, Statement(condition), extra).text();
}

std::shared_ptr<MesDatabase> openMesDatabase(const std::string& uri, const std::string& home,
                                             const DatabaseTimeouts& timeouts) {
  auto connection = std::make_shared<ado::Connection>();
  connection->BusyTimeout = timeouts.busy;
  connection->CommandTimeout = timeouts.query;
  connection->BindValues = timeouts.bindValues;
  if (client::hasPrefix(uri, "sqlite:")) {
    const std::string path = client::sqliteFileOf(uri, home);
    if (path.empty()) client::invalidUri(uri, "no database file after \"sqlite:\"");
    connection->Provider = "sqlite";
    connection->Open("Data Source=" + ado::oledbValue(path) + ";");
  } else if (client::hasPrefix(uri, "odbc:")) {
    const std::string connectionString = uri.substr(5);
    if (connectionString.find_first_not_of(" \t;") == std::string::npos) {
      client::invalidUri(uri, "no connection string after \"odbc:\"");
    }
    // Read by the ODBC rules first: a malformed string fails naming the item, never its value,
    // and the passwords it holds are known, to be kept out of any later error.
    std::vector<ado::odbc::Attribute> attributes;
    try {
      attributes = ado::odbc::parseAttributes(connectionString);
    } catch (const AutomationError& error) {
      raise(err::kInvalidCall, "MES database: " + error.description());
    }
    connection->Provider = "odbc";
    try {
      connection->Open(connectionString);
    } catch (const AutomationError& error) {
      throw AutomationError(
          error.number(),
          ado::odbc::withoutSecrets(error.description(), ado::odbc::secretsOf(attributes)),
          error.kind());
    }
  } else {
    client::invalidUri(uri, "expected sqlite:<path> or odbc:<ODBC connection string>");
  }
  return std::make_shared<client::AdoMesDatabase>(std::move(connection));
}

// What follows the scheme is shown by the ODBC layer's masking, so that no password it holds
// reaches a message.
std::string shownUri(const std::string& uri) {
  const std::size_t scheme = client::schemeLength(uri);
  return uri.substr(0, scheme) +
         ado::odbc::shownConnectionString(std::string_view(uri).substr(scheme));
}

}  // namespace velmora
