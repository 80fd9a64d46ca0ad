#include "common/database.hpp"

#include "common/mes_queries.hpp"
#include "common/procedure.hpp"
#include "common/statements.hpp"
#include "platform/ado/connection.hpp"
#include "platform/ado/connection_string.hpp"
#include "velmora/error.hpp"

namespace velmora {

std::shared_ptr<Recordset> runCommand(const Statement& statement,
                                      const std::shared_ptr<ado::Connection>& connection) {
  if (connection == nullptr) raise(err::kObjectNotSet, "Command.ActiveConnection");
  return connection->ExecuteStatement(statement);
}

std::string inspectionConnectionString(const InspectionSettings& settings) {
  return "Data Source=" + ado::oledbValue(settings.server) +
         ";User Id=" + ado::oledbValue(settings.user) +
         ";Password=" + ado::oledbValue(settings.password) +
         ";Initial Catalog=" + ado::oledbValue(settings.catalogue) + ";";
}

bool getMSSQLConnect(Run& run, const InspectionSettings& settings) {
  auto open = [&](bool& result) {
    run.state.inspection = std::make_shared<ado::Connection>(run.context.providers);
    ado::Connection& connection = *run.state.inspection;
    connection.ConnectionTimeout = 3;
    connection.CommandTimeout = run.context.timeouts.query;
    connection.BusyTimeout = run.context.timeouts.busy;
    connection.CursorLocation = ado::kUseClient;
    connection.Provider = "SQLOLEDB.1";
    connection.Pooling = true;
    connection.statementCache = run.cache;
    connection.BindValues = run.context.timeouts.bindValues;
    connection.Open(inspectionConnectionString(settings), "", "", -1);
    result = true;
  };
  // Every failure to open, the database's own included, answers false: the run ends "SqlFail".
  RunFailure failure;
  const bool opened =
      runProcedure(run.context, "getMSSQLConnect", false, open, Traps::kEverything, &failure);
  if (!opened) {
    failure.kind = "inspection-login";
    run.state.failure = std::move(failure);
  }
  return opened;
}

std::string getStation(const Run& run, const std::string& stepId) {
  return runProcedure(run.context, "getStation", std::string(), [&](std::string& result) {
    if (stepId.empty()) return;
    const std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(stationStatement(stepId));
    if (!rows->Eof()) result = rows->Fields("STATION").toText();
  });
}

}  // namespace velmora
