// The JSON Lines of a batch read back: each line the object `check --format json` prints (plus
// elapsed_ms), turned into the Report it was made from, so that a report can be built from the
// lines of earlier batches or of many shards without judging the lots again.
#pragma once

#include <stdexcept>
#include <string>

#include "velmora/report.hpp"

namespace velmora::cli {

// A line that is not a batch line; the message names what is wrong with it.
class ReportLineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A report of `lot` at `step` with nothing in it: no result, the six flags named with empty values.
Report emptyReport(const std::string& lot, const std::string& step);

// The report of one batch line. Keys a line does not hold are left empty (the line of a lot whose
// report could not be read has only lot, step, result and error); a line that is not a JSON object
// with text values "lot", "step" and "result" is a ReportLineError.
Report reportFromLine(const std::string& line);

}  // namespace velmora::cli
