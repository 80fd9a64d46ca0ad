// velmora-soak: many check runs in one process, watching its resident memory.
//
//   velmora-soak [--home DIR] [--lot LOT] [--step STEP] [--runs N] [--warmup N] [--max-kib K]
//
// Runs the check of LOT at STEP (default LOT-A01 at S-FQC-100 of the demo home) N times (default
// 10000) on one Context and one MES database connection, as a long-running MES client does,
// with a fresh Abnormals per run (records accumulate on one object, and its count is 16-bit).
// Resident memory is read after the first `warmup` runs (default 100) and at the end; the
// program prints both and exits 1 when it grew by more than K KiB (default 1024), or when a run
// did not return "ok" with the first run's number of records.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "velmora/abnormals.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace {

// Resident memory of this process in KiB (/proc/self/statm).
long residentKib() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Options {
  std::string home = VELMORA_DEMO_HOME;
  std::string lot = "LOT-A01";
  std::string step = "S-FQC-100";
  long runs = 10000;
  long warmup = 100;
  long maxKib = 1024;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const std::string value = argv[i + 1];
    if (name == "--home") {
      options.home = value;
    } else if (name == "--lot") {
      options.lot = value;
    } else if (name == "--step") {
      options.step = value;
    } else if (name == "--runs") {
      options.runs = std::atol(value.c_str());
    } else if (name == "--warmup") {
      options.warmup = std::atol(value.c_str());
    } else if (name == "--max-kib") {
      options.maxKib = std::atol(value.c_str());
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && options.runs > options.warmup && options.warmup > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::cerr << "usage: velmora-soak [--home DIR] [--lot LOT] [--step STEP] [--runs N] "
                 "[--warmup N] [--max-kib K]  (runs > warmup > 0)\n";
    return 2;
  }
  try {
    const velmora::ClientConfig config = velmora::loadClientConfig(options.home);
    auto context = std::make_shared<velmora::Context>();
    context->iniFactory = velmora::iniFileFactory(options.home);
    context->providers = config.providers;
    context->timeouts = config.timeouts;
    const std::shared_ptr<velmora::MesDatabase> mes =
        velmora::openMesDatabase(config.mesConnection, options.home, config.timeouts);
    // Entries are formed and handed over, and written nowhere (level 0).
    std::ofstream nowhere("/dev/null");
    const auto trace = std::make_shared<velmora::StreamTraceLog>(nowhere, 0);

    long afterWarmup = 0;
    int records = -1;
    for (long run = 1; run <= options.runs; ++run) {
      velmora::Abnormals check(context);
      check.MESDB(mes);
      check.LogTrace(trace);
      check.LotID(options.lot);
      check.StepID(options.step);
      const std::string result = check.Execute();
      if (records < 0) records = check.Count();
      if (result != "ok" || check.Count() != records) {
        std::cerr << "velmora-soak: run " << run << " returned \"" << result << "\" with "
                  << check.Count() << " records (the first run: " << records << ")\n";
        return 1;
      }
      if (run == options.warmup) afterWarmup = residentKib();
    }
    const long atEnd = residentKib();
    const long growth = atEnd - afterWarmup;
    std::printf(
        "velmora-soak: %ld runs of %s at %s, %d records each; resident memory %ld KiB after %ld "
        "runs, %ld KiB after %ld: %+ld KiB (allowed %ld)\n",
        options.runs, options.lot.c_str(), options.step.c_str(), records, afterWarmup,
        options.warmup, atEnd, options.runs, growth, options.maxKib);
    return growth <= options.maxKib ? 0 : 1;
  } catch (const velmora::AutomationError& error) {
    std::cerr << "velmora-soak: " << error.description() << "\n";
    return 2;
  }
}
