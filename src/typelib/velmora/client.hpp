// Working outside objects for an MES client that has none of its own: a MesDatabase over a real
// database, a TraceLog to a stream or file, an IniFile over a real INI file, and the client's
// configuration (<home>/INI/MESconfig.ini).
//
// Every failure is an AutomationError; its description names the file, section, key or URI at
// fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "velmora/context.hpp"
#include "velmora/export.h"
#include "velmora/outside.hpp"

namespace velmora {

// ---------------------------------------------------------------------------------------------
// Configuration

// The MES client's settings from <home>/INI/MESconfig.ini.
struct ClientConfig {
  // The home folder, as given to loadClientConfig.
  std::string home;
  // [MESDB] Connection, as written: "sqlite:<path>" or "odbc:<ODBC connection string>".
  std::string mesConnection;
  // [Providers]: provider name -> driver spec, ready for Context::providers. Every key of the
  // section is a provider name. A value "sqlite" becomes "sqlite:<home>" (and "sqlite:<folder>"
  // with a relative folder becomes "sqlite:<home>/<folder>"), so that a relative Data Source
  // (such as [MSSQL] ServerName=inspection.db) is taken against the home folder, as every
  // relative path of the file is.
  std::map<std::string, std::string, CaseInsensitiveLess> providers;
  // [MESDB] QueryTimeout (default 30) and BusyTimeout (default 15), in seconds, 0 for no limit,
  // and BindValues (1, the default: the library's drivers bind values; 0: they run text): for
  // openMesDatabase and Context::timeouts.
  DatabaseTimeouts timeouts;
  // [MSSQL] ServerName, as written: the inspection database's server, or its file when the
  // provider SQLOLEDB.1 is SQLite.
  std::string inspectionServer;
  // [MESDB] StatementCacheMiB: the memory of each check run's statement cache in MiB, for
  // Context::statementCacheMiB (64 when the key is missing or empty; 0 turns the cache off).
  std::size_t statementCacheMiB = 64;
};

// Reads <home>/INI/MESconfig.ini. A missing or unreadable file is an error naming the file; a
// missing or empty [MESDB] Connection is an error naming the section, the key and the file; a
// key of [MESDB] or [MSSQL] that neither the component nor this library reads (a misspelt
// "QueryTimout" would otherwise be ignored without a word) is an error naming the file, the
// line and the key (other sections belong to the MES client and are left alone); as
// is a QueryTimeout or BusyTimeout that is not a whole number of seconds from 0 to 86400, and a
// StatementCacheMiB that is not a whole number from 0 to 1048576, and a BindValues other than 0
// or 1.
VELMORA_EXPORT ClientConfig loadClientConfig(const std::string& home);

// The files of the SQLite databases the configuration names: the MES database when `mesUri`
// (the [MESDB] Connection, or the URI that overrides it) is "sqlite:<path>", and the inspection
// database when the provider SQLOLEDB.1 resolves to SQLite, each as openMesDatabase and the
// inspection connection resolve it. A host keeps its own output (such as a trace file) off them.
VELMORA_EXPORT std::vector<std::string> sqliteDatabaseFiles(const ClientConfig& config,
                                                            const std::string& mesUri);

// The input that `target`, a file a host is about to write, is: the configuration file, one of
// sqliteDatabaseFiles or one of `others` (such as a batch's input), compared as files (device and
// inode, links resolved), so that no spelling of a path slips by. "" when it is none of them
// (or does not exist yet). Writing a report or a trace over one of them would destroy it.
VELMORA_EXPORT std::string inputFileAt(const std::string& target, const ClientConfig& config,
                                       const std::string& mesUri,
                                       const std::vector<std::string>& others = {});

// ---------------------------------------------------------------------------------------------
// MES database

// Opens the MES database named by `uri`:
//   "sqlite:<path>"               an SQLite file, opened read-only; a relative path is taken
//                                 against `home`; a missing file is an error naming it;
//   "odbc:<connection string>"    an ODBC connection (the string as SQLDriverConnect takes it).
// Any other form is error 5 naming the URI. The prefixes compare without regard to case.
// `timeouts.busy` bounds SQLite's wait for a lock, `timeouts.query` every ODBC statement;
// `timeouts.bindValues` says whether the check's statements are prepared once per shape with
// their values bound (ExecuteQuery and SelectRecords always run their text).
//
// The database's operations:
//   ExecuteQuery(sql)   runs `sql` as it is;
//   SelectRecords(tables, columns, condition, extra) runs exactly
//       "SELECT " + columns + " FROM " + tables + " WHERE " + condition
//     followed by " " + extra only when extra is not empty.
VELMORA_EXPORT std::shared_ptr<MesDatabase> openMesDatabase(const std::string& uri,
                                                            const std::string& home,
                                                            const DatabaseTimeouts& timeouts = {});

// `uri` as it may be shown (in a message, a report): the passwords of an ODBC connection string
// replaced by "***", as the library's own error descriptions show it.
VELMORA_EXPORT std::string shownUri(const std::string& uri);

// The statement SelectRecords runs (see above).
VELMORA_EXPORT std::string selectRecordsStatement(const std::string& tables,
                                                  const std::string& columns,
                                                  const std::string& condition,
                                                  const std::string& extra);

// ---------------------------------------------------------------------------------------------
// Trace

// A trace that writes each entry as one line: the local time in ISO-8601 form with milliseconds
// ("2024-05-01T13:45:12.345"), one blank, the entry text, "\n"; the stream is flushed after
// every line. WriteTrace writes the entry when 0 < level <= TraceLevel(); so a trace made with
// level 0 (or less) writes nothing, and the component's entries (written with the level that
// TraceLevel() gave) are all written otherwise. Safe to share between threads.
class VELMORA_EXPORT StreamTraceLog : public TraceLog {
 public:
  // Writes to `out`, which must outlive the trace.
  StreamTraceLog(std::ostream& out, std::int16_t level);
  // Appends to the file at `path` (created when missing); a file that cannot be opened for
  // appending is an error naming it.
  StreamTraceLog(const std::string& path, std::int16_t level);

  std::int16_t TraceLevel() override { return level_; }
  void WriteTrace(std::int16_t& level, std::string& text) override;

  // Why the first entry that could not be written was lost (the system's reason, such as "No
  // space left on device"), "" while every entry was written. The component ignores failures of
  // its trace; a host asks here.
  std::string writeError();

 private:
  std::unique_ptr<std::ofstream> file_;
  std::ostream* out_;
  std::int16_t level_;
  std::mutex mutex_;
  std::string writeError_;
};

// The trace a host names by a text, writing every entry of the component: null for "" (no
// trace), `standardError` for "-", else the file at `target`, appended to (an error naming it
// when it cannot be opened).
VELMORA_EXPORT std::shared_ptr<StreamTraceLog> openTrace(const std::string& target,
                                                         std::ostream& standardError);

// ---------------------------------------------------------------------------------------------
// Configuration file reader

// An IniFile over a real INI file (parsed by inih). PathHead() is the home folder it was made
// with and PathTail() is "", so the component opens <home>/INI/MESconfig.ini.
//
// File format (inih's): "[section]" lines, "key=value" (or "key: value") lines, comments from
// ";" or "#" at the start of a line and from ";" after a blank inside a line; blanks around keys
// and values are dropped; a line that starts with a blank continues the previous value (joined
// with "\n"). A key may be given once per section. Lines may be at most 199 bytes long, and
// hold no NUL byte; section names and keys at most 48 bytes.
class VELMORA_EXPORT FileIniFile : public IniFile {
 public:
  explicit FileIniFile(std::string home);

  std::string PathHead() override { return home_; }
  std::string PathTail() override { return ""; }

  // Reads the file at `path`, replacing what an earlier call read. A missing or unreadable file,
  // an over-long line or name, a NUL byte, a line inih cannot read or a key given twice in one
  // section (keys compare without regard to case) is an error naming the file and the line (and
  // the key).
  void OpenFile(const std::string& path) override;

  // The value of `key` in `section` (both compared without regard to ASCII case), or "" when
  // either is missing or no file has been read.
  std::string ReadValue(std::string& section, std::string& key) override;

  // The keys and values of `section` in file order (empty when missing).
  std::vector<std::pair<std::string, std::string>> Section(const std::string& section) const;

  // The file read last ("" before OpenFile).
  const std::string& path() const { return path_; }
  // The line (from 1) where `key` of `section` is given, 0 when it is not.
  int lineOf(const std::string& section, const std::string& key) const {
    const CaseInsensitiveLess less;
    for (const Entry& entry : entries_) {
      if (!less(entry.section, section) && !less(section, entry.section) && !less(entry.key, key) &&
          !less(key, entry.key)) {
        return entry.line;
      }
    }
    return 0;
  }

 private:
  struct Entry {
    std::string section;
    std::string key;
    std::string value;
    int line = 0;
  };
  std::string home_;
  std::string path_;
  std::vector<Entry> entries_;
};

// A factory for Context::iniFactory: each call makes a new FileIniFile over `home`.
VELMORA_EXPORT std::function<std::shared_ptr<IniFile>()> iniFileFactory(const std::string& home);

}  // namespace velmora
