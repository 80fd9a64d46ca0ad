#include "common/database.hpp"

#include "common/procedure.hpp"
#include "common/text.hpp"
#include "platform/ado/connection.hpp"

namespace velmora {

std::shared_ptr<Recordset> runCommand(const std::string& statement,
                                      const std::shared_ptr<ado::Connection>& connection) {
  ado::Command command;
  command.ActiveConnection = connection;
  command.CommandType = ado::kCmdText;
  command.CommandText = statement;
  return command.Execute(-1);
}

std::string inspectionConnectionString(const InspectionSettings& settings) {
  return "Data Source=" + settings.server + ";User Id=" + settings.user +
         ";Password=" + settings.password + ";Initial Catalog=" + settings.catalogue + ";";
}

bool getMSSQLConnect(Run& run, const InspectionSettings& settings) {
  return runProcedure(run.context, "getMSSQLConnect", false, [&](bool& result) {
    run.state.inspection = std::make_shared<ado::Connection>(run.context.providers);
    ado::Connection& connection = *run.state.inspection;
    connection.ConnectionTimeout = 3;
    connection.CursorLocation = ado::kUseClient;
    connection.Provider = "SQLOLEDB.1";
    connection.Open(inspectionConnectionString(settings), "", "", -1);
    result = true;
  });
}

std::string getStation(const Context& context, const std::string& stepId) {
  return runProcedure(context, "getStation", std::string(), [&](std::string& result) {
    if (stepId.empty()) return;
    const std::string sql =
        "SELECT B.STATION FROM PARM_STEP_INFO A,PARM_STEP_STATION B "
        " WHERE A.STEPID='" +
        sqlValue(stepId) + "' AND A.SYSID=B.STEPSYSID AND B.STATIONTYPE='OP' ";
    const std::shared_ptr<Recordset> rows = mesDatabase(context).ExecuteQuery(sql);
    if (!rows->Eof()) result = rows->Fields("STATION").toText();
  });
}

}  // namespace velmora
