#include "client/mes_database.hpp"

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

// The URI for an error description, with the values of PWD= and Password= masked.
std::string shownUri(const std::string& uri) {
  std::string out = uri;
  for (std::string_view key : {"pwd=", "password="}) {
    std::size_t at = 0;
    while (at + key.size() <= out.size()) {
      if (equalsIgnoreCase(std::string_view(out).substr(at, key.size()), key) &&
          (at == 0 || out[at - 1] == ';' || out[at - 1] == ':' || out[at - 1] == ' ')) {
        const std::size_t valueBegin = at + key.size();
        std::size_t valueEnd = valueBegin;
        if (valueEnd < out.size() && out[valueEnd] == '{') {
          // A braced value runs to its closing "}" ("}}" stands for "}") and may hold ";".
          ++valueEnd;
          while (valueEnd < out.size()) {
            if (out[valueEnd] == '}') {
              if (valueEnd + 1 < out.size() && out[valueEnd + 1] == '}') {
                valueEnd += 2;
                continue;
              }
              ++valueEnd;
              break;
            }
            ++valueEnd;
          }
        } else {
          valueEnd = out.find(';', valueBegin);
          if (valueEnd == std::string::npos) valueEnd = out.size();
        }
        out.replace(valueBegin, valueEnd - valueBegin, "***");
        at = valueBegin + 3;
      } else {
        ++at;
      }
    }
  }
  return out;
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

}  // namespace client

std::string selectRecordsStatement(const std::string& tables, const std::string& columns,
                                   const std::string& condition, const std::string& extra) {
  std::string sql = "SELECT " + columns + " FROM " + tables + " WHERE " + condition;
  if (!extra.empty()) sql += " " + extra;
  return sql;
}

std::shared_ptr<MesDatabase> openMesDatabase(const std::string& uri, const std::string& home,
                                             const DatabaseTimeouts& timeouts) {
  auto connection = std::make_shared<ado::Connection>();
  connection->BusyTimeout = timeouts.busy;
  connection->CommandTimeout = timeouts.query;
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

}  // namespace velmora
