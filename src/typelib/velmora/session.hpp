// Session: checks lots against one MES client home, the way the command line, the C interface
// and a batch worker do it.
//
//   velmora::Session session(velmora::defaultHome());
//   velmora::Report report = session.check("LOT-A01", "S-FQC-100");
//   std::cout << velmora::toJson(report) << "\n";
//
// A session reads the home's configuration and opens its MES database once, and owns a Context
// of its own; every check makes a fresh check object (records would otherwise accumulate on one
// object across runs). One thread at a time uses a session; sessions on different threads run
// checks at the same time.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "velmora/client.hpp"
#include "velmora/error.hpp"
#include "velmora/export.h"
#include "velmora/outside.hpp"
#include "velmora/report.hpp"

namespace velmora {

// The inputs of a check did not validate (an empty lot or step): nothing ran. Error 5, its
// description what is wrong in English ("the check object refused its inputs (the lot is
// empty): ") followed by the check object's own list of what is missing.
class VELMORA_EXPORT InputError : public AutomationError {
 public:
  explicit InputError(const std::string& description);
};

class VELMORA_EXPORT Session {
 public:
  // Reads <home>/INI/MESconfig.ini and opens the MES database: `mesUri` when not empty
  // ("sqlite:<path>", relative to the home, or "odbc:<connection string>"), else [MESDB]
  // Connection. Throws AutomationError naming the file, key or URI at fault.
  explicit Session(const std::string& home, const std::string& mesUri = "");
  // The same with a configuration the host has read already (loadClientConfig).
  explicit Session(const ClientConfig& config, const std::string& mesUri = "");
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The trace that receives the component's entries from the next check on (null: none).
  void setTrace(std::shared_ptr<TraceLog> trace);

  // One check run of `lot` at `step`; `timeVersionSysid`, when given, is handed to the check
  // object before the run. When the inputs do not validate nothing runs and InputError is
  // thrown. Otherwise returns the report, whatever result the run ended with.
  Report check(const std::string& lot, const std::string& step,
               const std::optional<std::string>& timeVersionSysid = std::nullopt);

  // The session's MES database, for a host that reads more from the MES than a check does (the
  // command line reads a lot's wafer slots for its HTML report on it). The same thread rule as
  // for checks applies.
  MesDatabase& mesDatabase();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The home folder of a host that names none: $VELMORA_HOME when set and not empty, else the
// demo home installed with this library (<prefix>/share/velmora/demo-home) when it exists, else
// the demo home of the build tree the library was built in when it exists, else the installed
// demo home's path (so that the error reading it names where it was looked for).
VELMORA_EXPORT std::string defaultHome();

}  // namespace velmora
