// The result summary: turns the run's findings into records, LotDevReasons and the result.
//
// Abnormality rows are merged per wafer sequence and collect type; every code is translated into
// the MES reason code of the step's station class (tnsReason), and codes that translate to
// nothing are dropped. Each merged row with at least one reason becomes an Abnormal record,
// appended to the check object's records.
#pragma once

#include <string>

#include "common/run.hpp"

namespace velmora {

// Runs the summary at the end of a check run and sets run.result to "ok".
void summarize(Run& run);

// Whether two cells hold the same value: texts by exact characters, numbers by value, an empty
// cell as "" or 0; a text never equals a number; a Null equals nothing.
bool sameValue(const Variant& a, const Variant& b);

// Whether `list` (comma-separated) has an element equal to `value`.
bool listContains(const std::string& list, const std::string& value);

// The MES reason code of an abnormality code at the step's station class ("" when the code is
// dropped there, or when code or step id is ""). Traced as a procedure (procedure.hpp).
std::string tnsReason(const Run& run, const std::string& code, const std::string& stepId);

}  // namespace velmora
