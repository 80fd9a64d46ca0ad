// What `velmora check` prints: the facts a check object holds after a run, as JSON for
// machines and as a table for people.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "velmora/abnormals.hpp"

namespace velmora::cli {

struct Report {
  std::string lot;
  std::string step;
  std::string result;
  // The six flags in interface order: name, "Y"/"N".
  std::array<std::pair<const char*, std::string>, 6> flags;
  std::string lotDevReasons;
  std::string timeVersionSysid;
  std::vector<Abnormal> records;  // in Item order, 1 to Count
};

// Reads the report off a check object after Execute returned `result`.
Report collectReport(const Abnormals& check, const std::string& result);

// Exactly one JSON object (no trailing newline): lot, step, result, flags, LotDevReasons,
// TimeVersionSysid and records; every value is the text the public interface returns.
std::string toJson(const Report& report);

// The same facts for a person: the result, the flags, the lot reasons and a table of records.
std::string toText(const Report& report);

}  // namespace velmora::cli
