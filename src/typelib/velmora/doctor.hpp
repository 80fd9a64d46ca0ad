// The examination of a home's databases before its first lot (velmora doctor): what a check run
// would trip over, found without a lot. Read-only, like every check run.
#pragma once

#include <string>
#include <vector>

#include "velmora/context.hpp"
#include "velmora/export.h"
#include "velmora/outside.hpp"

namespace velmora {

enum class Health { kFine, kWarning, kError };

// "fine", "warning" or "error".
inline const char* healthName(Health health) {
  return health == Health::kFine ? "fine" : health == Health::kWarning ? "warning" : "error";
}

// One examined property: what was examined ("MES tables and columns"), how it stands, and what
// was found (naming the table, column, key or file; for a warning, what to do about it).
struct HealthCheck {
  std::string check;
  Health health = Health::kFine;
  std::string detail;
};

// Examines the MES database `mes`, opened from `mesUri` ("sqlite:..." or "odbc:..."; null when it
// could not be opened: only its ODBC driver is examined then), and the
// inspection database as the component would open it with `context` (its configuration-file
// reader, providers and timeouts):
//   - the ODBC driver a connection string names is installed;
//   - an SQLite file passes SQLite's quick_check;
//   - every table and column a check run reads exists (tablesRead());
//   - on SQLite, each table's link column is the first column of an index (a warning with the
//     CREATE INDEX statement to run otherwise);
//   - [MSSQL] names ServerName, UserName and InitDB, and the inspection database opens within
//     the component's 3-second login timeout.
// Never throws for what it finds; each failure is a check of its own.
VELMORA_EXPORT std::vector<HealthCheck> examineDatabases(const Context& context,
                                                         const std::string& mesUri,
                                                         MesDatabase* mes);

}  // namespace velmora
