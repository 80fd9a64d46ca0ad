// What `velmora batch` checks: lots and steps read from a CSV file, or selected from the MES by
// the time their data was collected at a step.
#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "velmora/outside.hpp"

namespace velmora::cli {

// One lot to check at one step, and where it came from ("lots.csv:7", or "" when selected).
struct BatchLot {
  std::string lot;
  std::string step;
  std::string where;
};

// An input that cannot be used; the message names the file and line (or the option) at fault.
class BatchInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads `lot,step` lines from `in`; `name` names the input in errors ("<stdin>" for standard
// input). CSV: fields are separated by ","; a field may be enclosed in double quotes (a comma
// inside, "" for one quote); blanks around a field are dropped; a line ending in CR is taken as
// ending before it. Blank lines and lines whose first non-blank character is "#" are skipped, and
// so is a first line "lot,step" (any case). Every other line must hold exactly two non-empty
// fields; the first that does not is an error naming `name`, the line number and what is wrong.
std::vector<BatchLot> readBatchInput(std::istream& in, const std::string& name);

// The time of a --since/--until value in the form the MES stores EDC_PRD_TIMEVERSION.DATETIME:
// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM[:SS]" (a "T" may stand for the blank). Returns it as
// "YYYY-MM-DD HH:MM:SS" (missing parts are zero); anything else is an error naming `option`.
std::string parseBatchTime(const std::string& value, const std::string& option);

// Runs selectLotsStatement (cli/statements.hpp) on `mes` and returns the lots, each at `step`.
std::vector<BatchLot> selectLots(MesDatabase& mes, const std::string& step,
                                 const std::string& since, const std::string& until);

}  // namespace velmora::cli
