// One worker of `velmora batch`: checks lots one after the other on its own Context and MES
// connection, and turns each run into its JSON line and what the summary and report need.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/batch_input.hpp"
#include "cli/lot_report.hpp"
#include "cli/report.hpp"
#include "velmora/client.hpp"
#include "velmora/session.hpp"

namespace velmora::cli {

// What one lot's check gave.
struct LotOutcome {
  std::string line;    // the JSON Lines object, without its newline
  std::string result;  // what Execute returned
  std::string error;   // for a result other than "ok": the one-line reason, else ""
  bool hasFindings = false;
  std::vector<std::string> reasons;  // the "item/reason" entries of LotDevReasons and the records
  // For the HTML report, only when one is asked for: the report (for a lot whose report
  // could not be read, its lot, step, result and failure) and, for a lot with findings or a
  // failure, its page.
  std::shared_ptr<const Report> report;
  std::optional<LotPage> page;
};

// What a batch's HTML report needs from each worker.
struct LotPageSettings {
  Provenance provenance;
  std::string batchPage;  // the batch report relative to a lot page
};

// The one-line reason of a lot that did not return "ok", as the summary and the report give
// it: the failure that ended the run ("Abnormals.<procedure>: <number>:<description>"), or the
// description of one that kept it from running or from being reported.
std::string failureReason(const Report& report);

// The JSON line of a check: the object `check --format json` prints for `report` (with its
// "error" object when the result is not "ok"), on one line, followed by "elapsed_ms". Every
// batch line is built here, from the same JSON as `check` prints.
std::string batchLine(const Report& report, double elapsedMs);

// The line of a lot whose check could not be reported in full: lot, step, result, elapsed_ms and
// the error object of `failure` only.
std::string failedLine(const BatchLot& lot, const std::string& result, double elapsedMs,
                       const RunFailure& failure);

class BatchWorker {
 public:
  // Opens the worker's own Session, with its own Context and MES connection (`mesUri` as
  // [MESDB] Connection takes it, with the configured timeouts); a failure is an AutomationError
  // naming the database.
  BatchWorker(const ClientConfig& config, const std::string& mesUri);

  // Checks `lot` (the session makes a new check object per run). With `report`, the outcome
  // keeps the report, and the page of a lot with findings or a failure is made here, in
  // parallel with the other workers.
  LotOutcome check(const BatchLot& lot, const LotPageSettings* report);

  MesDatabase& mes() { return session_.mesDatabase(); }

 private:
  Session session_;
};

}  // namespace velmora::cli
