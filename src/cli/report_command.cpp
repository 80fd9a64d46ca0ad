#include "cli/report_command.hpp"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

#include "cli/batch_report.hpp"
#include "cli/batch_summary.hpp"
#include "cli/batch_worker.hpp"
#include "cli/check_command.hpp"
#include "cli/lot_report.hpp"
#include "cli/output_file.hpp"
#include "cli/reason_entries.hpp"
#include "cli/report.hpp"
#include "cli/report_json.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora::cli {
namespace {

struct ReportSetupError {
  std::string message;
};

// Adds the lines of one file: the summary and the report as a batch adds its lots, and the page of
// each lot that needs one.
void addLines(std::istream& in, const std::string& name, MesDatabase& mes, const ReportPaths& paths,
              const Provenance& pageProvenance, BatchSummary& summary, BatchReport& batch) {
  std::string line;
  for (std::size_t number = 1; std::getline(in, line); ++number) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    Report report;
    try {
      report = reportFromLine(line);
    } catch (const ReportLineError& e) {
      throw ReportSetupError{name + ":" + std::to_string(number) + ": " + e.what()};
    }
    ++summary.lots;
    addLot(summary, report.result, hasFindings(report), reportEntries(report),
           {name + ":" + std::to_string(number), report.lot, report.step, report.result,
            report.result == "ok" ? "" : failureReason(report)});
    std::string link;
    std::map<std::string, std::string> descriptions;
    if (needsLotPage(report)) {
      LotPage page = makeLotPage(mes, report, pageProvenance, paths.backLink);
      link = writeLotPage(paths, report, page.html);
      descriptions = std::move(page.descriptions);
    }
    addLot(batch, report, descriptions, std::move(link));
  }
  if (in.bad()) throw ReportSetupError{"cannot read " + name + ": " + std::strerror(errno)};
}

}  // namespace

CLI::App* addReportCommand(CLI::App& app, ReportOptions& options) {
  CLI::App* report =
      app.add_subcommand("report",
                         "build a batch's HTML report from its JSON Lines (of one batch or of many "
                         "shards) without checking the lots again");
  report->add_option("--from", options.from, "JSON Lines files written by velmora batch, or -")
      ->required()
      ->expected(1, -1);
  report
      ->add_option("--report", options.report,
                   "write the HTML report to FILE.html (the lots' pages in FILE_lots/), or to "
                   "DIR/index.html when given DIR/ (the lots' pages in DIR/lots/)")
      ->required();
  report->add_option("--summary", options.summary, "write the summary as JSON to FILE");
  report->add_option("--home", options.home,
                     "MES client home folder holding INI/MESconfig.ini, whose MES database the "
                     "lots' pages read their wafers and limits from (default: $VELMORA_HOME, "
                     "else the demo home)");
  report->add_option("--mes", options.mes,
                     "MES database, overriding [MESDB] Connection: sqlite:<path> or "
                     "odbc:<ODBC connection string>");
  report->footer(
      "Exit status: 0 when every line's check returned \"ok\", 1 when one did not, 2 for usage, "
      "configuration, input or output errors.");
  return report;
}

int runReport(const ReportOptions& options, std::istream& in, std::ostream& err) {
  BatchSummary summary;
  BatchReport batch;
  std::string mesUri;
  ReportPaths paths;
  try {
    if (options.home.empty()) throw ReportSetupError{"--home: the home folder is empty"};
    const ClientConfig config = loadClientConfig(options.home);
    mesUri = options.mes.empty() ? config.mesConnection : options.mes;
    paths = reportPaths(options.report);
    std::vector<std::string> inputs;
    for (const std::string& file : options.from) {
      if (file != "-") inputs.push_back(file);
    }
    for (const std::string& target : {paths.page, options.summary}) {
      if (target.empty()) continue;
      if (const std::string file = inputFileAt(target, config, mesUri, inputs); !file.empty()) {
        throw ReportSetupError{target + " is the input file '" + file +
                               "', which the report only reads; name another file"};
      }
    }
    if (const std::string why = prepareReportFolders(paths); !why.empty()) {
      throw ReportSetupError{"--report: " + why};
    }
    const auto mes = openMesDatabase(mesUri, config.home, config.timeouts);
    const Provenance pageProvenance =
        provenanceNow(options.home, mesUri, "lot page of a report from JSON Lines");
    for (const std::string& file : options.from) {
      if (file == "-") {
        addLines(in, "<stdin>", *mes, paths, pageProvenance, summary, batch);
        continue;
      }
      errno = 0;
      std::ifstream stream(file);
      if (!stream.is_open()) {
        throw ReportSetupError{"cannot read " + file +
                               (errno != 0 ? ": " + std::string(std::strerror(errno)) : "")};
      }
      addLines(stream, file, *mes, paths, pageProvenance, summary, batch);
    }
    const std::size_t files = options.from.size();
    const Provenance provenance = provenanceNow(
        options.home, mesUri,
        "the JSON Lines of " + std::to_string(files) + (files == 1 ? " file" : " files"));
    writeOutputFile(paths.page, [&](std::ostream& html) {
      writeBatchReport(html, summary, batch, provenance);
    });
    if (!options.summary.empty()) writeOutputFile(options.summary, summaryJson(summary, -1) + "\n");
  } catch (const ReportSetupError& e) {
    err << "velmora: " << printable(e.message) << "\n";
    return kExitUsage;
  } catch (const OutputError& e) {
    err << "velmora: " << printable(e.what()) << "\n";
    return kExitUsage;
  } catch (const AutomationError& e) {
    err << "velmora: " << printable(e.description()) << "\n";
    return kExitUsage;
  }
  err << summaryText(summary);
  return summary.failed.empty() ? kExitOk : kExitFailed;
}

}  // namespace velmora::cli
