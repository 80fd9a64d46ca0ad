// The tables and columns a check run reads, per database: what a home's databases must hold
// (velmora doctor checks them, and README.md lists them from here).
#pragma once

#include <string>
#include <vector>

#include "velmora/export.h"

namespace velmora {

struct TableRead {
  const char* database;  // "MES" or "inspection"
  const char* name;      // as the statements spell it
  std::vector<const char*> columns;
  // The column the checks look this table's rows up by (its link to the row it belongs to);
  // unindexed, every check reads the whole table. "" when the table is read whole anyway.
  const char* link;
};

// Every table the statements of a check run (and of velmora batch and the HTML report) read,
// with every column they name.
VELMORA_EXPORT const std::vector<TableRead>& tablesRead();

}  // namespace velmora
