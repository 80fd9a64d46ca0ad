// RunFailure: the failure that ended a check run, for hosts that report it (the command, the C
// interface, the Python module, the HTML report) without reading the trace.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

struct RunFailure {
  // The procedure where it happened ("getStation"), "Execute" outside any.
  std::string procedure;
  // The error number (the driver's native number for a database failure) and its description
  // without the failed statement.
  std::int32_t number = 0;
  std::string description;
  // What it means: "no-answer" (the database could not answer, the result is ""),
  // "inspection-login" (the inspection database could not be opened, "SqlFail"), or
  // "unexpected" (a failure that is no automation error, the result is ""). (A batch line of a
  // lot whose inputs did not validate, where nothing ran, says "refused".)
  std::string kind;
  // The statement that failed, as the component sent it (followed by "; as run: " and the text
  // the driver ran when it rewrote it); "" when no statement failed.
  std::string statement;
};

}  // namespace velmora
