#include "cli/batch_command.hpp"

#include <sched.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "cli/batch_input.hpp"
#include "cli/batch_progress.hpp"
#include "cli/batch_report.hpp"
#include "cli/batch_runner.hpp"
#include "cli/batch_shard.hpp"
#include "cli/batch_summary.hpp"
#include "cli/batch_worker.hpp"
#include "cli/check_command.hpp"
#include "cli/output_file.hpp"
#include "cli/report.hpp"
#include "cli/stop_signals.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

// The cores this process may run on.
unsigned coreCount() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return static_cast<unsigned>(count);
  }
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? cores : 1;
}

// A usage or configuration problem: the one line that `runBatch` writes before returning 2.
struct BatchSetupError {
  std::string message;
};

std::vector<BatchLot> readLotsFile(const std::string& path, std::istream& in) {
  if (path == "-") return readBatchInput(in, "<stdin>");
  errno = 0;
  std::ifstream file(path);
  if (!file.is_open()) {
    const int reason = errno;
    throw BatchSetupError{"cannot read " + path +
                          (reason != 0 ? ": " + std::string(std::strerror(reason)) : "")};
  }
  return readBatchInput(file, path);
}

// Fails early when a file the batch writes at its end cannot be written (without creating it).
// A regular file is replaced by a new one made beside it (output_file.hpp), so its folder must
// be writable; a device or pipe is written in place.
void checkWritable(const std::string& path, const char* option) {
  if (path.empty()) return;
  std::error_code ignored;
  const fs::path file(path);
  const fs::file_status status = fs::status(file, ignored);
  const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
  const bool inPlace = fs::exists(status) && !fs::is_regular_file(status);
  if (inPlace ? access(path.c_str(), W_OK) == 0 : access(folder.c_str(), W_OK | X_OK) == 0) {
    return;
  }
  const int reason = errno;
  throw BatchSetupError{std::string(option) + ": cannot write " + path + ": " +
                        std::strerror(reason)};
}

std::optional<std::string> environmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

CLI::App* addBatchCommand(CLI::App& app, BatchOptions& options) {
  CLI::App* batch = app.add_subcommand(
      "batch", "check many lots in parallel: one JSON line per lot, in input order");
  auto* input = batch->add_option("--input", options.input,
                                  "CSV file of lot,step lines (a header and # comments "
                                  "allowed), or - for standard input");
  auto* step = batch->add_option("--step", options.step,
                                 "select the lots with a valid collection at STEP ...");
  auto* since = batch->add_option("--since", options.since,
                                  "... collected at or after TIME (YYYY-MM-DD[ HH:MM[:SS]])");
  auto* until = batch->add_option("--until", options.until, "... and before TIME");
  input->excludes(step)->excludes(since)->excludes(until);
  step->needs(since)->needs(until);
  since->needs(step)->needs(until);
  until->needs(step)->needs(since);
  batch->add_option("--jobs", options.jobs, "workers checking in parallel (default: the cores)")
      ->check(CLI::Range(1u, 1024u));
  batch->add_option("--home", options.home,
                    "MES client home folder holding INI/MESconfig.ini (default: $VELMORA_HOME, "
                    "else the demo home)");
  batch->add_option("--mes", options.mes,
                    "MES database, overriding [MESDB] Connection: sqlite:<path> or "
                    "odbc:<ODBC connection string>");
  batch->add_option("--report", options.report,
                    "write an HTML report to FILE.html (the lots' pages in FILE_lots/), or to "
                    "DIR/index.html when given DIR/ (the lots' pages in DIR/lots/)");
  batch->add_option("--summary", options.summary, "write the summary as JSON to FILE");
  auto* on = batch->add_flag_callback(
      "--progress", [&options] { options.progress = true; },
      "show progress on standard error even when it is not a terminal");
  auto* off = batch->add_flag_callback(
      "--no-progress", [&options] { options.progress = false; }, "never show progress");
  on->excludes(off);
  batch
      ->add_option_function<std::string>(
          "--shard", [&options](const std::string& value) { options.shard = value; },
          "check only the K-th of N disjoint parts of the lots (K counts from 1 to N, N up to "
          "10000), chosen by a hash of lot and step that is the same on every machine; auto: "
          "the part from a Slurm job array (SLURM_ARRAY_TASK_ID minus SLURM_ARRAY_TASK_MIN, of "
          "SLURM_ARRAY_TASK_COUNT) or, as auto/N, from a Kubernetes Indexed Job "
          "(JOB_COMPLETION_INDEX, counting from 0)")
      ->type_name("K/N|auto[/N]");
  batch->footer(
      "Exit status: 0 when every check returned \"ok\", 1 when one did not, 2 for usage, "
      "configuration, input or output errors, 130 when interrupted by Ctrl-C (SIGINT), 143 by "
      "SIGTERM.");
  return batch;
}

namespace {

// Refuses an output path that is one of the batch's inputs.
void checkNotAnInput(const std::string& path, const char* option, const ClientConfig& config,
                     const std::string& mesUri, const std::string& input) {
  if (path.empty()) return;
  std::vector<std::string> others;
  if (!input.empty() && input != "-") others.push_back(input);
  if (const std::string file = inputFileAt(path, config, mesUri, others); !file.empty()) {
    throw BatchSetupError{std::string(option) + " " + path + " is the input file '" + file +
                          "', which the batch only reads; name another file"};
  }
}

}  // namespace

int runBatch(const BatchOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  const auto start = std::chrono::steady_clock::now();
  // From the start: a signal while the sessions open (on a locked database, say) is taken too.
  const StopSignals signals(StopSignals::Mode::kGentle);
  std::vector<BatchLot> lots;
  std::vector<std::unique_ptr<BatchWorker>> workers;
  unsigned jobs = 0;
  ReportPaths paths;
  std::string mesUri;
  try {
    const std::optional<BatchShard> shard =
        options.shard ? std::optional(parseBatchShard(*options.shard, environmentVariable))
                      : std::nullopt;
    if (options.home.empty()) throw BatchSetupError{"--home: the home folder is empty"};
    if (options.input.empty() && options.step.empty()) {
      throw BatchSetupError{"batch needs --input FILE|- or --step STEP --since TIME --until TIME"};
    }
    if (!options.report.empty()) paths = reportPaths(options.report);
    checkWritable(options.summary, "--summary");
    const ClientConfig config = loadClientConfig(options.home);
    mesUri = options.mes.empty() ? config.mesConnection : options.mes;
    checkNotAnInput(paths.page, "--report", config, mesUri, options.input);
    if (!options.report.empty()) {
      if (const std::string why = prepareReportFolders(paths); !why.empty()) {
        throw BatchSetupError{"--report: " + why};
      }
    }
    checkNotAnInput(options.summary, "--summary", config, mesUri, options.input);
    if (!options.input.empty()) {
      lots = readLotsFile(options.input, in);
    } else {
      const std::string since = parseBatchTime(options.since, "--since");
      const std::string until = parseBatchTime(options.until, "--until");
      workers.push_back(std::make_unique<BatchWorker>(config, mesUri));
      try {
        lots = selectLots(workers.front()->mes(), options.step, since, until);
      } catch (const AutomationError& e) {
        throw BatchSetupError{"the lots could not be selected: " + e.description()};
      }
    }
    if (shard) lots = lotsOfShard(std::move(lots), *shard);
    jobs = options.jobs > 0 ? options.jobs : coreCount();
    if (jobs > lots.size()) jobs = static_cast<unsigned>(lots.size());
    while (workers.size() < jobs) workers.push_back(std::make_unique<BatchWorker>(config, mesUri));
  } catch (const BatchSetupError& e) {
    err << "velmora: " << printable(e.message) << "\n";
    return kExitUsage;
  } catch (const BatchInputError& e) {
    err << "velmora: " << printable(e.what()) << "\n";
    return kExitUsage;
  } catch (const AutomationError& e) {
    err << "velmora: " << printable(e.description()) << "\n";
    return kExitUsage;
  }
  if (StopSignals::stopRequested().load()) {
    err << "velmora: stopped by " << StopSignals::signalName() << " before the first lot\n";
    return 128 + StopSignals::signalNumber();
  }

  BatchSummary summary;
  summary.lots = lots.size();
  summary.jobs = jobs;
  BatchReport batchReport;
  bool writeFailed = false;
  std::string pageError;  // the first lot page that could not be written
  const bool forReport = !options.report.empty();
  const LotPageSettings pageSettings{provenanceNow(options.home, mesUri, "lot page of a batch"),
                                     paths.backLink};
  Progress progress(err, options.progress.value_or(isatty(STDERR_FILENO) == 1),
                    isatty(STDERR_FILENO) == 1, lots.size());

  RunCallbacks callbacks;
  callbacks.check = [&](std::size_t worker, std::size_t index) {
    try {
      return workers[worker]->check(lots[index], forReport ? &pageSettings : nullptr);
    } catch (const std::exception& e) {
      // Whatever goes wrong with one lot is that lot's failure, not the batch's.
      LotOutcome failed;
      failed.error = std::string("velmora: unexpected failure: ") + e.what();
      failed.line = failedLine(lots[index], failed.result, 0,
                               {"", err::kGenericFailure, failed.error, "unexpected", ""});
      return failed;
    }
  };
  callbacks.deliver = [&](std::size_t index, LotOutcome&& outcome) {
    const BatchLot& lot = lots[index];
    out << outcome.line << '\n';
    out.flush();
    if (!out.good()) {
      writeFailed = true;
      return false;
    }
    addLot(summary, outcome.result, outcome.hasFindings, outcome.reasons,
           {lot.where, lot.lot, lot.step, outcome.result, outcome.error});
    if (outcome.report) {
      std::string link;
      if (outcome.page) {
        try {
          link = writeLotPage(paths, *outcome.report, outcome.page->html);
        } catch (const OutputError& e) {
          if (pageError.empty()) pageError = e.what();
        }
      }
      addLot(batchReport, *outcome.report,
             outcome.page ? outcome.page->descriptions : std::map<std::string, std::string>{},
             std::move(link));
    }
    return true;
  };
  callbacks.tick = [&] { progress.update(summary.done, summary.failed.size()); };

  runInOrder(lots.size(), jobs, callbacks, StopSignals::stopRequested());
  progress.finish(summary.done, summary.failed.size());
  summary.interrupted = StopSignals::stopRequested().load() && summary.done < summary.lots;
  summary.elapsedMs = millisecondsSince(start);
  if (writeFailed) {
    err << "velmora: cannot write standard output\n";
    return kExitUsage;
  }

  try {
    double reportMs = -1;
    if (forReport) {
      const auto reportStart = std::chrono::steady_clock::now();
      char source[96];
      std::snprintf(source, sizeof source, "a batch of %zu lots, %u %s, %.1f s", summary.done, jobs,
                    jobs == 1 ? "job" : "jobs", summary.elapsedMs / 1000);
      const Provenance provenance = provenanceNow(options.home, mesUri, source);
      writeOutputFile(paths.page, [&](std::ostream& html) {
        writeBatchReport(html, summary, batchReport, provenance);
      });
      reportMs = millisecondsSince(reportStart);
    }
    if (!options.summary.empty()) {
      writeOutputFile(options.summary, summaryJson(summary, reportMs) + "\n");
    }
  } catch (const OutputError& e) {
    err << summaryText(summary) << "velmora: " << printable(e.what()) << "\n";
    return kExitUsage;
  }
  err << summaryText(summary);
  if (!pageError.empty()) {
    err << "velmora: " << printable(pageError) << "\n";
    return kExitUsage;
  }
  if (summary.interrupted) return 128 + StopSignals::signalNumber();
  return summary.failed.empty() ? kExitOk : kExitFailed;
}

}  // namespace velmora::cli
