#include "velmora/doctor.hpp"

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>

#include "check/driver.hpp"
#include "check/statements.hpp"
#include "common/database.hpp"
#include "common/text.hpp"
#include "platform/ado/connection.hpp"
#include "platform/ado/odbc/odbc_api.hpp"
#include "platform/ado/odbc/odbc_attributes.hpp"
#include "platform/ado/provider_table.hpp"
#include "platform/automation/text_compare.hpp"
#include "velmora/error.hpp"
#include "velmora/tables_read.hpp"

namespace velmora {
namespace {

using Query = std::function<std::shared_ptr<Recordset>(const std::string&)>;

// The login timeout the component gives the inspection database.
constexpr long kInspectionLoginSeconds = 3;

std::string describeFailure(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const AutomationError& e) {
    return e.description();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "an unknown failure";
  }
}

// The ODBC drivers registered with the driver manager.
std::vector<std::string> installedOdbcDrivers() {
  std::vector<std::string> drivers;
  SQLHENV env = SQL_NULL_HENV;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return drivers;
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLCHAR name[512];
  SQLCHAR attributes[2048];
  SQLSMALLINT nameLength = 0;
  SQLSMALLINT attributesLength = 0;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  while (SQL_SUCCEEDED(SQLDrivers(env, direction, name, sizeof name, &nameLength, attributes,
                                  sizeof attributes, &attributesLength))) {
    drivers.emplace_back(reinterpret_cast<const char*>(name));
    direction = SQL_FETCH_NEXT;
  }
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return drivers;
}

// Whether the driver that `connectionString` names is installed (a DSN is left to the driver
// manager: it names its driver in odbc.ini).
HealthCheck odbcDriverCheck(const std::string& what, const std::string& connectionString) {
  HealthCheck check{what + " ODBC driver", Health::kFine, ""};
  try {
    const auto attributes = ado::odbc::parseAttributes(connectionString);
    const auto driver = ado::odbc::findAttribute(attributes, "Driver");
    if (!driver) {
      const auto dsn = ado::odbc::findAttribute(attributes, "DSN");
      check.detail = dsn ? "data source '" + *dsn + "' (its driver is named in odbc.ini)"
                         : "no Driver or DSN named";
      if (!dsn) check.health = Health::kError;
      return check;
    }
    // A driver may also be named by the path of its library.
    if (driver->find('/') != std::string::npos) {
      check.detail = "driver library " + *driver;
      return check;
    }
    const std::vector<std::string> installed = installedOdbcDrivers();
    if (std::any_of(installed.begin(), installed.end(),
                    [&](const std::string& name) { return equalsIgnoreCase(name, *driver); })) {
      check.detail = "driver '" + *driver + "' is installed";
      return check;
    }
    check.health = Health::kError;
    std::string names;
    for (const std::string& name : installed) names += (names.empty() ? "" : ", ") + name;
    check.detail = "driver '" + *driver + "' is not installed (odbcinst.ini lists " +
                   (names.empty() ? std::string("none") : names) + ")";
  } catch (...) {
    check.health = Health::kError;
    check.detail = describeFailure(std::current_exception());
  }
  return check;
}

HealthCheck quickCheck(const std::string& what, const Query& query) {
  HealthCheck check{what + " file integrity (quick_check)", Health::kFine, "ok"};
  try {
    const auto rows = query(kQuickCheckStatement);
    std::string problems;
    int count = 0;
    for (; !rows->Eof(); rows->MoveNext()) {
      const std::string line = rows->Fields(0).toText();
      if (line == "ok") continue;
      if (++count <= 3) problems += (problems.empty() ? "" : "; ") + line;
    }
    if (count > 0) {
      check.health = Health::kError;
      check.detail = "damaged, " + std::to_string(count) + " problem(s): " + problems;
    }
  } catch (...) {
    // SQLite refuses to check a file too damaged to read.
    check.health = Health::kError;
    check.detail = "damaged: " + describeFailure(std::current_exception());
  }
  return check;
}

HealthCheck tablesCheck(const std::string& what, const std::string& database, const Query& query) {
  HealthCheck check{what + " tables and columns", Health::kFine, ""};
  std::string missing;
  int tables = 0;
  for (const TableRead& table : tablesRead()) {
    if (database != table.database) continue;
    ++tables;
    const auto runs = [&](const std::string& columns) {
      try {
        query(probeStatement(table.name, columns));
        return true;
      } catch (...) {
        return false;
      }
    };
    std::string columns;
    for (const char* column : table.columns)
      columns += (columns.empty() ? "" : ",") + std::string(column);
    if (runs(columns)) continue;
    if (!runs("*")) {
      missing += (missing.empty() ? "" : "; ") + std::string("table ") + table.name + " is missing";
      continue;
    }
    std::string absent;
    for (const char* column : table.columns) {
      if (!runs(column)) absent += (absent.empty() ? "" : ", ") + std::string(column);
    }
    missing += (missing.empty() ? "" : "; ") + std::string(table.name) + " has no column " + absent;
  }
  if (missing.empty()) {
    check.detail = "all " + std::to_string(tables) + " tables the checks read";
  } else {
    check.health = Health::kError;
    check.detail = missing;
  }
  return check;
}

// On SQLite: whether each table's link column leads an index (a primary key's included).
HealthCheck indexCheck(const std::string& what, const std::string& database, const Query& query) {
  HealthCheck check{what + " link columns indexed", Health::kFine, ""};
  std::string statements;
  try {
    for (const TableRead& table : tablesRead()) {
      if (database != table.database || *table.link == '\0') continue;
      // A missing table is the tables check's finding, not an index to create.
      const auto exists = query(tableCountStatement(table.name));
      if (exists->Eof() || exists->Fields(0).toText() == "0") continue;
      const auto rows = query(leadingIndexCountStatement(table.name, table.link));
      if (!rows->Eof() && rows->Fields(0).toText() != "0") continue;
      statements +=
          std::string(statements.empty() ? "" : " ") + createIndexStatement(table.name, table.link);
    }
  } catch (...) {
    check.health = Health::kError;
    check.detail = describeFailure(std::current_exception());
    return check;
  }
  if (statements.empty()) {
    check.detail = "every table is looked up through an index";
  } else {
    check.health = Health::kWarning;
    check.detail =
        "unindexed links make every check read the whole table, slower as the fab's "
        "history grows; run: " +
        statements;
  }
  return check;
}

bool startsWithIgnoreCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

void examineInspection(const Context& context, std::vector<HealthCheck>& checks) {
  InspectionSettings settings;
  HealthCheck config{"inspection settings ([MSSQL])", Health::kFine, ""};
  try {
    settings = readInspectionSettings(context);
    std::string missing;
    if (settings.server.empty()) missing += "ServerName";
    if (settings.user.empty()) missing += std::string(missing.empty() ? "" : ", ") + "UserName";
    if (settings.catalogue.empty()) missing += std::string(missing.empty() ? "" : ", ") + "InitDB";
    if (!missing.empty()) {
      config.health = Health::kError;
      config.detail =
          "missing " + missing + ": every lot with an inspection item would end \"SqlFail\"";
    } else {
      config.detail = "server '" + settings.server + "', user '" + settings.user + "', database '" +
                      settings.catalogue + "'";
    }
  } catch (...) {
    config.health = Health::kError;
    config.detail = describeFailure(std::current_exception());
  }
  checks.push_back(config);
  if (config.health == Health::kError) return;

  ado::DriverSpec spec{ado::DriverSpec::Driver::Odbc, ""};
  try {
    spec = ado::resolveProvider("SQLOLEDB.1", context.providers);
  } catch (...) {
    checks.push_back(
        {"inspection provider", Health::kError, describeFailure(std::current_exception())});
    return;
  }
  if (spec.driver == ado::DriverSpec::Driver::Odbc) {
    std::string attributes;
    try {
      attributes = ado::odbc::withProviderDefaults(spec.argument);
    } catch (...) {
      checks.push_back(
          {"inspection ODBC driver", Health::kError, describeFailure(std::current_exception())});
      return;
    }
    checks.push_back(odbcDriverCheck("inspection", attributes));
  }

  const auto connection = std::make_shared<ado::Connection>(context.providers);
  connection->ConnectionTimeout = kInspectionLoginSeconds;
  connection->CommandTimeout = context.timeouts.query;
  connection->BusyTimeout = context.timeouts.busy;
  connection->CursorLocation = ado::kUseClient;
  connection->Provider = "SQLOLEDB.1";
  HealthCheck open{"inspection database opens", Health::kFine, ""};
  const auto start = std::chrono::steady_clock::now();
  try {
    connection->Open(inspectionConnectionString(settings), "", "", -1);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    open.detail = "answered in " + std::to_string(ms) + " ms (login timeout " +
                  std::to_string(kInspectionLoginSeconds) + " s)";
  } catch (...) {
    open.health = Health::kError;
    open.detail = describeFailure(std::current_exception()) +
                  ": every lot with an inspection item would end \"SqlFail\"";
  }
  checks.push_back(open);
  if (open.health == Health::kError) return;
  const Query query = [&](const std::string& sql) { return connection->Execute(sql); };
  if (spec.driver == ado::DriverSpec::Driver::Sqlite)
    checks.push_back(quickCheck("inspection", query));
  checks.push_back(tablesCheck("inspection", "inspection", query));
  if (spec.driver == ado::DriverSpec::Driver::Sqlite)
    checks.push_back(indexCheck("inspection", "inspection", query));
  connection->Close();
}

}  // namespace

std::vector<HealthCheck> examineDatabases(const Context& context, const std::string& mesUri,
                                          MesDatabase* mes) {
  std::vector<HealthCheck> checks;
  const bool sqlite = startsWithIgnoreCase(mesUri, "sqlite:");
  if (startsWithIgnoreCase(mesUri, "odbc:")) {
    checks.push_back(odbcDriverCheck("MES", mesUri.substr(5)));
  }
  if (mes != nullptr) {
    const Query query = [&](const std::string& sql) {
      auto rows = mes->ExecuteQuery(sql);
      if (!rows) raise(err::kObjectNotSet, "no record set (statement: " + sql + ")");
      return rows;
    };
    if (sqlite) checks.push_back(quickCheck("MES", query));
    checks.push_back(tablesCheck("MES", "MES", query));
    if (sqlite) checks.push_back(indexCheck("MES", "MES", query));
  }
  examineInspection(context, checks);
  return checks;
}

}  // namespace velmora
