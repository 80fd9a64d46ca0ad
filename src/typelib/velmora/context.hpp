// Context: what check objects share.
//
// All check objects of a context share one MES database slot and one trace slot: setting MESDB
// or LogTrace on any of them replaces the reference for all, and destroying any of them empties
// both. By default every check object uses the process-wide context; a host that runs checks on
// several threads gives each thread a context of its own.
//
// The context also carries the host's settings that the component itself cannot know: how it
// obtains the configuration-file reader for each run, which driver serves an OLE DB provider
// name on this installation, and how much memory a run's statement cache may take.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "velmora/export.h"
#include "velmora/outside.hpp"

namespace velmora {

// Orders texts without regard to ASCII case (provider names, keys).
struct VELMORA_EXPORT CaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

// How database work is done: how long it may take, in seconds (0 sets no limit), and whether the
// library's own drivers bind values. The MES client's configuration sets them ([MESDB]
// QueryTimeout, BusyTimeout and BindValues).
struct DatabaseTimeouts {
  // How long one statement may run on an ODBC connection (the ODBC query timeout), on the MES
  // and on the inspection database; a statement that runs longer fails, and the check run ends.
  long query = 30;
  // How long SQLite waits for a lock that another connection holds (a writer of the MES) before
  // the statement fails with "database is locked", and the check run ends.
  long busy = 15;
  // Whether the library's own SQLite and ODBC drivers prepare each statement shape once per
  // connection and bind the statement's values (true), or send every statement as rendered text
  // (false). The results are the same either way; a host's own MesDatabase always receives
  // text.
  bool bindValues = true;
};

class VELMORA_EXPORT Context {
 public:
  // The context of check objects created without one.
  static std::shared_ptr<Context> process();

  // The shared slots (empty when unset).
  std::shared_ptr<MesDatabase> mesdb;
  std::shared_ptr<TraceLog> trace;

  // Creates the configuration-file reader of a check run. When unset, a run fails at that step
  // with error 429 (the client's class cannot be created).
  std::function<std::shared_ptr<IniFile>()> iniFactory;

  // Provider name -> driver spec: "sqlite", "sqlite:<folder>" (relative Data Source paths taken
  // against <folder>), "odbc" or "odbc:<extra ODBC attributes>"; a value may also name another
  // provider. Names not listed resolve to themselves, and "SQLOLEDB.1" to "odbc" by default.
  std::map<std::string, std::string, CaseInsensitiveLess> providers;

  // The timeouts of the inspection connections the component opens.
  DatabaseTimeouts timeouts;

  // The memory, in MiB, of each check run's statement cache ([MESDB] StatementCacheMiB of the
  // client configuration). Within one Execute, a statement already answered successfully on the
  // same connection (the MES database object, or an inspection connection string) is answered
  // from memory: the same rows, column names and value types, a fresh cursor for every call.
  // Failures are never kept; the cache starts empty with every run and is emptied when it ends,
  // so a later run reads the data as they are then. A result that does not fit is not kept.
  // 0 turns the cache off.
  std::size_t statementCacheMiB = 64;
};

}  // namespace velmora
