#include "cli/batch_worker.hpp"

#include <chrono>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/reason_entries.hpp"
#include "cli/report_json.hpp"
#include "velmora/error.hpp"

namespace velmora::cli {

std::string batchLine(const Report& report, double elapsedMs) {
  auto line = nlohmann::ordered_json::parse(toJson(report));
  line["elapsed_ms"] = std::round(elapsedMs * 1000) / 1000;
  return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string failedLine(const BatchLot& lot, const std::string& result, double elapsedMs,
                       const RunFailure& failure) {
  const nlohmann::ordered_json error = {{"procedure", failure.procedure},
                                        {"number", failure.number},
                                        {"description", failure.description},
                                        {"kind", failure.kind},
                                        {"statement", failure.statement}};
  const nlohmann::ordered_json line = {{"lot", lot.lot},
                                       {"step", lot.step},
                                       {"result", result},
                                       {"elapsed_ms", std::round(elapsedMs * 1000) / 1000},
                                       {"error", error}};
  return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

BatchWorker::BatchWorker(const ClientConfig& config, const std::string& mesUri)
    : session_(config, mesUri) {}

std::string failureReason(const Report& report) {
  if (!report.error) return "the check returned \"" + report.result + "\"";
  if (report.error->kind == "refused" || report.error->kind == "unexpected") {
    return report.error->description;
  }
  return "Abnormals." + failureText(*report.error);
}

LotOutcome BatchWorker::check(const BatchLot& lot, const LotPageSettings* forReport) {
  const auto start = std::chrono::steady_clock::now();
  const auto elapsedMs = [&] {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  };
  LotOutcome outcome;
  std::optional<Report> report;
  RunFailure unreported;
  try {
    report = session_.check(lot.lot, lot.step);
    outcome.result = report->result;
  } catch (const InputError& e) {
    // A selected lot whose id is empty: nothing ran.
    unreported = {"preExecute", e.number(), e.description(), "refused", ""};
  } catch (const AutomationError& e) {
    // The run ended but its report could not be read (more records than the interface can
    // count): the line says so instead of listing them.
    unreported = {"", e.number(), "the report could not be read: " + e.description(), "unexpected",
                  ""};
  }
  if (!report) {
    outcome.line = failedLine(lot, outcome.result, elapsedMs(), unreported);
    report = emptyReport(lot.lot, lot.step);
    report->error = unreported;
  } else {
    outcome.line = batchLine(*report, elapsedMs());
  }
  if (outcome.result != "ok") outcome.error = failureReason(*report);

  outcome.reasons = reportEntries(*report);
  outcome.hasFindings = hasFindings(*report);
  if (forReport != nullptr) {
    if (needsLotPage(*report)) {
      outcome.page =
          makeLotPage(session_.mesDatabase(), *report, forReport->provenance, forReport->batchPage);
    }
    outcome.report = std::make_shared<const Report>(std::move(*report));
  }
  return outcome;
}

}  // namespace velmora::cli
