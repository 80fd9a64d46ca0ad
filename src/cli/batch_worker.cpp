#include "cli/batch_worker.hpp"

#include <chrono>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/last_error.hpp"
#include "cli/reason_entries.hpp"
#include "velmora/error.hpp"

namespace velmora::cli {

std::string batchLine(const Report& report, double elapsedMs, const std::string& error) {
  auto line = nlohmann::ordered_json::parse(toJson(report));
  line["elapsed_ms"] = std::round(elapsedMs * 1000) / 1000;
  if (!error.empty()) line["error"] = error;
  return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string failedLine(const BatchLot& lot, const std::string& result, double elapsedMs,
                       const std::string& error) {
  const nlohmann::ordered_json line = {{"lot", lot.lot},
                                       {"step", lot.step},
                                       {"result", result},
                                       {"elapsed_ms", std::round(elapsedMs * 1000) / 1000},
                                       {"error", error}};
  return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

BatchWorker::BatchWorker(const ClientConfig& config, const std::string& mesUri)
    : session_(config, mesUri) {}

LotOutcome BatchWorker::check(const BatchLot& lot, bool forReport) {
  const auto start = std::chrono::steady_clock::now();
  const auto elapsedMs = [&] {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  };
  // The trace that keeps the run's last error entry, the lot's one-line reason when it fails.
  const auto trace = std::make_shared<LastErrorTrace>(nullptr);
  session_.setTrace(trace);
  LotOutcome outcome;
  std::optional<Report> report;
  try {
    report = session_.check(lot.lot, lot.step);
    outcome.result = report->result;
  } catch (const InputError& e) {
    // A selected lot whose id is empty: nothing ran.
    outcome.error = "the check object refused its inputs: " + e.description();
  } catch (const AutomationError& e) {
    // The run ended but its report could not be read (more records than the interface can
    // count): the line says so instead of listing them.
    outcome.error = "the report could not be read: " + e.description();
  }
  if (outcome.result != "ok" && outcome.error.empty()) {
    outcome.error = trace->procedure().empty()
                        ? "the check returned \"" + outcome.result + "\""
                        : "Abnormals." + trace->procedure() + ": " + trace->error();
  }
  if (!report) {
    outcome.line = failedLine(lot, outcome.result, elapsedMs(), outcome.error);
    return outcome;
  }
  outcome.line = batchLine(*report, elapsedMs(), outcome.error);

  outcome.reasons = reasonEntries(report->lotDevReasons);
  for (const Abnormal& record : report->records) {
    for (std::string& entry : reasonEntries(record.Reasons())) {
      outcome.reasons.push_back(std::move(entry));
    }
  }
  outcome.hasFindings = !report->records.empty() || !report->lotDevReasons.empty();
  if (forReport && outcome.hasFindings) {
    outcome.slots = readLotSlots(session_.mesDatabase(), lot.lot);
    outcome.report = std::make_shared<const Report>(std::move(*report));
  }
  return outcome;
}

}  // namespace velmora::cli
