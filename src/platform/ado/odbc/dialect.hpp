// What the ODBC driver changes in the component's Oracle statements before a database that is
// not Oracle runs them.
//
// The component sends Oracle SQL as fixed text. Oracle runs it unchanged. Other databases get:
// - the outer-join rewrite of the SQLite driver (rewriteOuterJoins): "A.X=B.Y(+)" becomes a
//   LEFT JOIN;
// - an alias for every derived table that has none ("FROM (SELECT ...) " becomes
//   "FROM (SELECT ...) velmora_dt1 "): Oracle accepts a subquery in FROM without an alias,
//   PostgreSQL before version 16 and SQL Server reject it.
// DECODE and the other Oracle functions are left to the database (orafce on PostgreSQL).
#pragma once

#include <string>

namespace velmora::ado::odbc {

// True when the DBMS name that the driver reports (SQL_DBMS_NAME) is Oracle's.
bool isOracle(const std::string& dbmsName);

// `sql` with an alias "velmora_dt<N>" (N counting from 1 in text order) after the closing
// parenthesis of every derived table without one. A derived table is a parenthesised query
// (starting with SELECT or WITH) that follows FROM, JOIN or a comma of a FROM list; it has an
// alias when a word other than a clause keyword follows it. Literals, quoted names and comments
// are skipped; a statement without such a table is returned unchanged.
std::string aliasDerivedTables(const std::string& sql);

// The statement a non-Oracle database runs for the component's `sql`:
// aliasDerivedTables(rewriteOuterJoins(sql)).
std::string nonOracleStatement(const std::string& sql);

}  // namespace velmora::ado::odbc
