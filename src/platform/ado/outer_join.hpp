// Oracle's outer-join marker, rewritten to standard SQL for databases that do not know it.
//
// The component sends Oracle statements as fixed text; one of them outer-joins with the marker
// "(+)": "... FROM EDC_PRD_BASICDATA A,EDC_PRD_FAILCOUNT B WHERE ... AND
// A.SYSID=B.BASICDATASYSID(+)". Drivers for databases without the marker (SQLite; via ODBC, SQL
// Server and PostgreSQL) pass every statement through rewriteOuterJoins before preparing it.
#pragma once

#include <string>

namespace velmora::ado {

// Rewrites the outer-join markers of every query block of `sql` into LEFT JOINs, and nothing
// else:
//
// - A query block whose WHERE clause holds markers and whose FROM clause is a comma list of
//   tables (no JOIN keywords) is rebuilt as
//     <text up to FROM> <preserved tables, comma-separated> LEFT JOIN <table> ON <conditions> ...
//     WHERE <remaining conditions> <rest of the block>
//   A table is "joined" (the optional side) when a column of it carries the marker; each
//   top-level AND term of the WHERE clause that holds markers loses them and becomes part of
//   the ON condition of that table; every other term stays in the WHERE clause (joined with
//   " AND "; the WHERE keyword disappears when no term is left). Preserved tables keep their
//   order; joined tables keep theirs, except that a table comes after the tables its ON
//   condition names.
// - Subqueries and the blocks of UNION / INTERSECT / MINUS / EXCEPT are handled one by one.
// - A statement without a marker outside literals, quoted names and comments is returned
//   byte-identical; so is a block whose marker use the rewrite cannot map safely (a top-level OR
//   in its WHERE clause, an unqualified marked column, a term marking two tables, a marked table
//   missing from the FROM list, ANSI joins in the FROM list, every table marked, circular ON
//   conditions), and a statement that ends inside a literal, quoted name or comment: the
//   database then reports the marker (or the open literal) as the syntax error it is.
std::string rewriteOuterJoins(const std::string& sql);

}  // namespace velmora::ado
