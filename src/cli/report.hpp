// What `velmora check` prints: the facts a check object holds after a run, as JSON for
// machines and as a table for people.
#pragma once

#include <array>
#include <string>
#include <string_view>
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

// The same facts for a person: the result, the flags, the lot reasons and a table of records;
// after a run that found no EDC item for the lot at the step, a line saying so. Every value is
// shown through printable().
std::string toText(const Report& report);

// `text` safe to print on a terminal: control characters (C0, DEL and C1) written as escapes
// ("\n", "\r", "\t", "\x1b", "\u009b"), so that a value from the database or the command line
// can neither start a line of its own nor drive the terminal. Other texts are unchanged.
std::string printable(std::string_view text);

}  // namespace velmora::cli
