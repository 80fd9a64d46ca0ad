// Report: what a check run found, read off the check object, and the JSON object that carries it.
//
// The JSON object is the one contract of every machine-readable output: `velmora check --format
// json` prints it, velmora_result_json (velmora/velmora.h) returns it, and the Python module
// hands it over as a dict. Its keys, in order: lot, step, result, flags (the six flags in
// interface order), LotDevReasons, TimeVersionSysid and records (each with the nine fields of
// kRecordFieldNames), then, when the result is not "ok", error: the failure that ended the run
// (procedure, number, description, kind, statement; see velmora/run_failure.hpp). Every other
// value is the text the check object's public interface returns.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "velmora/abnormal.hpp"
#include "velmora/export.h"
#include "velmora/run_failure.hpp"

namespace velmora {

class Abnormals;

struct Report {
  std::string lot;
  std::string step;
  std::string result;  // what Execute returned: "ok", "SqlFail" or ""
  // The six flags in interface order: name, "Y"/"N" ("" before a run).
  std::array<std::pair<const char*, std::string>, 6> flags;
  std::string lotDevReasons;
  std::string timeVersionSysid;
  std::vector<Abnormal> records;  // in Item order, 1 to Count
  // The failure that ended the run when the result is not "ok".
  std::optional<RunFailure> error;
};

// The fields of a record in the order of the JSON object.
inline constexpr std::array<const char*, 9> kRecordFieldNames = {
    "ItemName", "CollectType", "WaferID",  "WaferSEQ", "EQPID",
    "TA",       "WaferYield",  "LotYield", "Reasons"};

// The values of `record`'s fields in the order of kRecordFieldNames.
VELMORA_EXPORT std::array<std::string, 9> recordFieldValues(const Abnormal& record);

// Reads the report off a check object after Execute returned `result`.
VELMORA_EXPORT Report collectReport(const Abnormals& check, const std::string& result);

// Exactly one JSON object (two-space indent, no trailing newline). Bytes of the texts that are
// not UTF-8 are replaced by U+FFFD rather than failing the output.
VELMORA_EXPORT std::string toJson(const Report& report);

}  // namespace velmora
