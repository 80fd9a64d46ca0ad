// The component's own database routines: statements on the inspection connection, opening that
// connection, and the operation station of a step.
#pragma once

#include <memory>
#include <string>

#include "common/run.hpp"
#include "platform/sql/statement.hpp"
#include "velmora/context.hpp"
#include "velmora/recordset.hpp"

namespace velmora {

namespace ado {
class Connection;
}

// Runs a text command on the inspection connection and returns its rows. Failures (a null or
// closed connection included) reach the caller: the calling check reports them.
std::shared_ptr<Recordset> runCommand(const Statement& statement,
                                      const std::shared_ptr<ado::Connection>& connection);

// The OLE DB connection string of the inspection database. Each value stands as it is, or in
// double quotes when it would otherwise change the string's meaning (a password holding ";",
// quotes or blanks at either end): "Data Source=s;User Id=u;Password=p;Initial Catalog=c;".
std::string inspectionConnectionString(const InspectionSettings& settings);

// Opens a new inspection connection into run.state.inspection (login timeout 3 s, the context's
// query and busy timeouts, client cursors, provider "SQLOLEDB.1"). True when it is open; on failure
// the error entry is written, false is returned, and the new unopened connection stays in place
// until the driver drops it. The connection pools its login (a healthy idle session of the same
// connection string and timeouts is reused, and the session returns to the pool when the
// connection is dropped) and answers through the run's statement cache.
// A failure to open is kept as the run's failure (kind "inspection-login").
bool getMSSQLConnect(Run& run, const InspectionSettings& settings);

// The STATION of the step's first operation station row, "" when the step id is "" (no query),
// when there is no such row, or when the query fails (traced). Asks the run's MES database.
std::string getStation(const Run& run, const std::string& stepId);

}  // namespace velmora
