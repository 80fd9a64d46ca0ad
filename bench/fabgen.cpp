// velmora-fabgen: writes a scaled fab for the benchmarks.
//
//   velmora-fabgen --out DIR --lots N --schema DIR [--pg]
//
// DIR becomes an MES client home: INI/MESconfig.ini, mes.db and inspection.db (SQLite, built
// from the demo schema in --schema, whose indexes cover every link column the checks join or
// filter on), and lots.txt, one "lot,step" line per lot. With --pg it also writes mes.pg.sql and
// inspection.pg.sql: the same rows as COPY blocks, for a PostgreSQL database created from the
// demo's *.pg.sql schema (scripts/pg-test-server.sh loads them when VELMORA_PG_FAB=DIR).
//
// The fab has one product whose final QC step S-FQC-100 (station class FQC, where every code
// translates) defines 20 EDC items of every type: five SPC items (types 0, 1, 2), five fail-count
// items (3), five inspection items (4), three type 5 items (one with fail counts, two judged on
// inspection data) and two information items (no type, type 7). Every lot has 25 wafers and a
// full collection at that step, with findings of every kind drawn at random, and an inspection
// record. A lot's data depend only on its number, so a smaller fab is the first lots of a larger
// one; lot 0 (LOT-00000) is the benchmark lot, the same in every fab. The other lots are its
// history; some of them lack a time version, carry cancelled ones, have no inspection record, or
// have their type 5 data set aside, so that the output comparison meets every path.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fab_sink.hpp"

namespace velmora::bench {
namespace {

constexpr int kWafers = 25;
const std::string kStep = "S-FQC-100";
const std::string kSpec = "SPEC-SCALE";
const std::string kPlan = "PE-SCALE-FQC100";

// A small deterministic generator (SplitMix64): the same numbers on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed)
      : state_(seed * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E019ULL) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // 0 .. n-1
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  // true with probability percent / 100
  bool chance(int percent) { return below(100) < percent; }

 private:
  std::uint64_t state_;
};

std::string twoDigits(int n) {
  return (n < 10 ? "0" : "") + std::to_string(n);
}

// LOT-00000, LOT-00001, ...; some history lots are split lots ("LOT-00013.1"), whose items still
// come through the spec number.
std::string lotName(int index) {
  std::string digits = std::to_string(index);
  const std::string lot =
      "LOT-" + std::string(digits.size() < 5 ? 5 - digits.size() : 0, '0') + digits;
  return index % 40 == 13 ? lot + ".1" : lot;
}

struct ItemDef {
  const char* sysid;
  const char* name;
  const char* type;  // null: no type
  Cell cp, cpk, lsl, usl;
};

Cell num(double value) {
  return value;
}

// The 20 items of the step, in ITEMSEQ order.
const std::vector<ItemDef>& items() {
  static const std::vector<ItemDef> list = {
      {"EI-S-01", "BUMP HEIGHT", "0", num(1.33), num(1.33), num(28), num(32)},
      {"EI-S-02", "BUMP DIAMETER", "1", num(1.33), num(1.33), num(48), num(52)},
      {"EI-S-03", "COPLANARITY", "2", num(1.33), num(1.33), num(0), num(8)},
      {"EI-S-04", "PAD THICKNESS", "0", num(1.33), num(1.33), num(4), num(6)},
      {"EI-S-05", "BUMP PITCH", "1", num(1.67), num(1.67), num(79), num(81)},
      {"EI-S-06", "FINAL VISUAL", "3", num(0.5), num(1), num(96), num(98.5)},
      {"EI-S-07", "BUMP VISUAL", "3", num(0.4), num(1.5), num(95), num(98)},
      {"EI-S-08", "EDGE VISUAL", "3", null(), num(2), num(96), num(98)},
      {"EI-S-09", "BACKSIDE VISUAL", "3", num(0.6), num(1.2), num(95), num(97.5)},
      {"EI-S-10", "PROBE VISUAL", "3", num(0.5), num(1), num(94), num(97)},
      {"EI-S-11", "AOI INSPECTION", "4", num(0.3), num(0.6), num(93), num(95)},
      {"EI-S-12", "AOI 2D", "4", num(0.2), num(0.8), num(92), num(95)},
      {"EI-S-13", "AOI 3D", "4", null(), num(0.5), num(93), num(96)},
      {"EI-S-14", "IR INSPECTION", "4", num(0.4), null(), num(94), num(95.5)},
      {"EI-S-15", "MACRO INSPECTION", "4", num(0.3), num(0.6), num(90), num(94)},
      {"EI-S-16", "PROBE MARK", "5", null(), num(2), num(90), num(96)},
      {"EI-S-17", "PROBE MARK 2D", "5", num(0.4), num(1), num(92), num(97)},
      {"EI-S-18", "PROBE MARK 3D", "5", num(0.3), num(0.6), num(91), num(95)},
      {"EI-S-19", "OPERATOR NOTE", nullptr, null(), null(), null(), null()},
      {"EI-S-20", "RETICLE ID", "7", null(), null(), null(), null()},
  };
  return list;
}

bool isSpc(const ItemDef& item) {
  const std::string type = item.type != nullptr ? item.type : "";
  return type == "0" || type == "1" || type == "2";
}
bool hasFailCounts(const ItemDef& item) {
  const std::string type = item.type != nullptr ? item.type : "";
  return type == "3" || std::string(item.sysid) == "EI-S-16";
}

const std::vector<std::string> kReasonCodes = {"101", "102", "103", "210",
                                               "220", "230", "240", "250"};

void writeReferenceData(FabSink& mes) {
  const std::vector<std::string> stepCols = {"SYSID", "STEPID", "STEPNO", "DESCRIPTION"};
  mes.insert("PARM_STEP_INFO", stepCols,
             {std::string("STP-IQC010"), std::string("S-IQC-010"), std::string("IQC010"),
              std::string("Incoming wafer inspection")});
  mes.insert("PARM_STEP_INFO", stepCols,
             {std::string("STP-FQC100"), kStep, std::string("FQC100"),
              std::string("Final quality control")});
  const std::vector<std::string> stationCols = {"SYSID", "STEPSYSID", "STATION", "STATIONTYPE"};
  mes.insert("PARM_STEP_STATION", stationCols,
             {std::string("STN-01"), std::string("STP-IQC010"), std::string("IQC-VISUAL-01"),
              std::string("OP")});
  mes.insert("PARM_STEP_STATION", stationCols,
             {std::string("STN-02"), std::string("STP-FQC100"), std::string("FQC-AOI-01"),
              std::string("OP")});
  mes.insert("PARM_STEP_STATION", stationCols,
             {std::string("STN-03"), std::string("STP-FQC100"), std::string("IQA-REVIEW-01"),
              std::string("QA")});

  const std::vector<std::pair<std::string, std::string>> reasons = {
      {"101", "Bump Bridge"},      {"102", "Missing Bump"}, {"103", "Bump Deformation"},
      {"210", "Scratch"},          {"220", "Particle"},     {"230", "Pad Corrosion"},
      {"240", "Probe Mark Shift"}, {"250", "Discoloration"}};
  for (const auto& [code, description] : reasons) {
    mes.insert("EDC_PRD_REASONCODE", {"REASONCODE", "DESCRIPTION"}, {code, description});
  }
  const std::vector<std::string> listCols = {"MODULE", "FIELD_NAME", "FIELD_VALUE", "DESCRIPTION"};
  for (const char* code : {"101", "102", "103"}) {
    mes.insert("MES_BASIC_LISTDATA", listCols,
               {std::string("EDC"), std::string("Bump Defect"), std::string(code), null()});
  }
  mes.insert("MES_BASIC_LISTDATA", listCols,
             {std::string("EDC"), std::string("Visual Defect"), std::string("210"), null()});
  mes.insert("MES_BASIC_LISTDATA", listCols,
             {std::string("WIP"), std::string("Bump Defect"), std::string("HOLD-BD"), null()});

  mes.insert("EDC_PRD_PRODUCTEDC", {"SYSID", "SPECNO", "STEPNO", "FORRUNCARD", "EDCNAME"},
             {kPlan, kSpec, std::string("FQC100"), std::string("0"), std::string("final QC")});
  int seq = 0;
  for (const ItemDef& item : items()) {
    mes.insert("EDC_PRD_EDCITEM",
               {"SYSID", "PRODUCTEDCSYSID", "ITEMSEQ", "DESCRIPTION", "ITEMTYPE", "UNIT", "CP",
                "CPK", "LSL", "USL"},
               {std::string(item.sysid), kPlan, std::int64_t{++seq}, std::string(item.name),
                item.type != nullptr ? Cell(std::string(item.type)) : null(), null(), item.cp,
                item.cpk, item.lsl, item.usl});
  }
  // Loss-rate limits of the fail-count and inspection items: LOTPERCENT / WAFERPERCENT.
  struct Limit {
    const char* item;
    const char* code;
    Cell lot, wafer;
  };
  const std::vector<Limit> limits = {
      {"EI-S-06", "210", num(0.5), num(2)},    {"EI-S-06", "220", num(0.8), null()},
      {"EI-S-06", "230", null(), num(3)},      {"EI-S-07", "101", num(0.3), num(1)},
      {"EI-S-07", "220", num(0.5), null()},    {"EI-S-08", "210", num(0.4), null()},
      {"EI-S-08", "250", null(), num(2)},      {"EI-S-09", "230", num(0.3), num(1)},
      {"EI-S-10", "240", num(0.4), null()},    {"EI-S-10", "210", num(0.6), num(2.5)},
      {"EI-S-11", "210", num(0.1), num(0.3)},  {"EI-S-11", "220", num(0.2), num(0.5)},
      {"EI-S-12", "210", num(0.15), num(0.4)}, {"EI-S-12", "250", num(0.1), null()},
      {"EI-S-13", "220", num(0.2), num(0.6)},  {"EI-S-14", "210", null(), num(0.5)},
      {"EI-S-15", "220", num(0.1), num(0.4)},  {"EI-S-15", "250", num(0.2), num(0.5)},
      {"EI-S-16", "240", null(), num(5.8)},    {"EI-S-17", "210", num(0.3), num(0.8)},
      {"EI-S-18", "220", num(0.2), num(0.5)},
  };
  int n = 0;
  for (const Limit& limit : limits) {
    mes.insert("EDC_PRD_LOSSRATE",
               {"SYSID", "EDCITEMSYSID", "REASONCODE", "LOTPERCENT", "WAFERPERCENT"},
               {"LR-" + twoDigits(++n), std::string(limit.item), std::string(limit.code), limit.lot,
                limit.wafer});
  }
}

// A chart's flag and rules: mostly quiet, now and then a violation.
std::pair<Cell, Cell> chartMarks(Random& random) {
  const int roll = random.below(100);
  if (roll < 84) return {std::string("0"), null()};
  if (roll < 88) return {std::string("1"), "R" + std::to_string(1 + random.below(8))};
  if (roll < 92) return {std::string("2"), "R" + std::to_string(1 + random.below(8))};
  if (roll < 95) return {std::string("3"), "R1,R" + std::to_string(2 + random.below(7))};
  if (roll < 98) return {std::string("0"), std::string("R6")};
  return {null(), null()};
}

Cell violationFlag(Random& random) {
  const int roll = random.below(100);
  if (roll < 70) return std::string("0");
  if (roll < 80) return std::string("1");
  if (roll < 88) return std::string("2");
  if (roll < 95) return std::string("3");
  return null();
}

std::string capabilityMark(Random& random) {
  const int roll = random.below(100);
  if (roll < 55) return "0";
  return std::to_string(1 + random.below(3));
}

std::string slotList(Random& random, int count) {
  std::string list;
  for (int i = 0; i < count; ++i) {
    list += (list.empty() ? "" : ",") + std::to_string(1 + random.below(kWafers));
  }
  return list;
}

void writeCollection(FabSink& mes, Random& random, const std::string& lot, const std::string& tv,
                     bool setAsideProbe) {
  const std::string key = lot.substr(4);
  for (const ItemDef& item : items()) {
    const std::string itemKey = std::string(item.sysid).substr(5);
    const std::string bd = "BD-" + key + "-" + tv.substr(tv.size() - 1) + "-" + itemKey;
    const std::vector<std::string> bdCols = {
        "SYSID", "TIMEVERSIONSYSID", "EDCITEMSYSID",   "EQPID",
        "FLAG",  "CPCPKVIOLATION",   "VIOLATIONCOUNT", "COMMENTS"};
    const std::string eqp = "EQ-" + itemKey + "-" + std::to_string(1 + random.below(4));
    if (isSpc(item)) {
      std::vector<std::vector<Cell>> stats;
      int violations = 0;
      for (int wafer = 1; wafer <= kWafers; ++wafer) {
        auto [flag1, rules1] = chartMarks(random);
        auto [flag2, rules2] = chartMarks(random);
        const bool quiet = flag1 == Cell(std::string("0")) && flag2 == Cell(std::string("0")) &&
                           std::holds_alternative<std::monostate>(rules1) &&
                           std::holds_alternative<std::monostate>(rules2);
        if (!quiet) ++violations;
        stats.push_back({bd + "-" + twoDigits(wafer), bd, num(30 + random.below(100) / 50.0),
                         num(random.below(300) / 100.0), flag1, rules1, flag2, rules2});
      }
      Cell comment = null();
      const int roll = random.below(100);
      if (roll < 15) {
        comment = "WithinWafer:" + slotList(random, 2) + "|WithinDie:" + slotList(random, 1);
      } else if (roll < 22) {
        comment = "WithinWafer:" + slotList(random, 1);
      } else if (roll < 27) {
        comment = "WithinDie:" + slotList(random, 2);
      }
      mes.insert("EDC_PRD_BASICDATA", bdCols,
                 {bd, tv, std::string(item.sysid), eqp, std::string("1"), capabilityMark(random),
                  num(violations), comment});
      for (std::size_t i = 0; i < stats.size(); ++i) {
        mes.insert("EDC_PRD_STATDATA",
                   {"SYSID", "BASICDATASYSID", "MEANVALUE", "RANGEVALUE", "CHART1VIOLATIONFLAG",
                    "CHART1VIOLATIONRULES", "CHART2VIOLATIONFLAG", "CHART2VIOLATIONRULES"},
                   stats[i]);
        const std::string sd = std::get<std::string>(stats[i][0]);
        for (int site = 1; site <= 2; ++site) {
          mes.insert("EDC_PRD_RAWDATA", {"SYSID", "STATDATASYSID", "WAFERSEQ", "SITENO", "VALUE"},
                     {sd + "-" + std::to_string(site), sd, std::int64_t{static_cast<int>(i) + 1},
                      std::int64_t{site}, num(29 + random.below(300) / 100.0)});
        }
      }
    } else if (hasFailCounts(item)) {
      const bool probe = std::string(item.sysid) == "EI-S-16";
      mes.insert(
          "EDC_PRD_BASICDATA", bdCols,
          {bd, tv, std::string(item.sysid), eqp, std::string(probe && setAsideProbe ? "0" : "1"),
           capabilityMark(random), num(0), null()});
      const std::vector<std::string> sites =
          probe ? std::vector<std::string>{"ALL"} : std::vector<std::string>{"CENTER", "EDGE"};
      constexpr double siteSize = 100;
      for (int wafer = 1; wafer <= kWafers; ++wafer) {
        // Now and then a wafer is not sampled.
        if (random.chance(5)) continue;
        const std::string fc =
            "FC-" + key + "-" + tv.substr(tv.size() - 1) + "-" + itemKey + "-" + twoDigits(wafer);
        std::vector<std::vector<Cell>> reasons;
        double fails = 0;
        for (std::size_t s = 0; s < sites.size(); ++s) {
          const std::string fs = fc + "-" + std::to_string(s + 1);
          const int count = random.chance(85) ? 1 + random.below(3) : 0;
          std::vector<std::string> used;
          for (int r = 0; r < count; ++r) {
            const std::string code = kReasonCodes[static_cast<std::size_t>(random.below(8))];
            bool seen = false;
            for (const std::string& u : used) seen = seen || u == code;
            if (seen) continue;
            used.push_back(code);
            const double n = 1 + random.below(8);
            fails += n;
            reasons.push_back({fs + "-" + code, fs, code, num(n)});
          }
        }
        const double size = siteSize * static_cast<double>(sites.size());
        mes.insert(
            "EDC_PRD_FAILCOUNT",
            {"SYSID", "BASICDATASYSID", "WAFERSEQ", "SAMPLESIZE", "FAILCOUNT", "VIOLATIONFLAG"},
            {fc, bd, std::int64_t{wafer}, num(size), num(fails), violationFlag(random)});
        for (std::size_t s = 0; s < sites.size(); ++s) {
          mes.insert("EDC_PRD_FAILCOUNT_SITE",
                     {"SYSID", "FAILCOUNTSYSID", "SITENAME", "SAMPLESIZE"},
                     {fc + "-" + std::to_string(s + 1), fc, sites[s], num(siteSize)});
        }
        for (const auto& reason : reasons) {
          mes.insert("EDC_PRD_FAILREASON", {"SYSID", "FAILCOUNTSITESYSID", "REASONCODE", "COUNT"},
                     reason);
        }
      }
    }
  }
}

void writeLot(FabSink& mes, FabSink& inspection, int index) {
  Random random(static_cast<std::uint64_t>(index));
  const bool bench = index == 0;
  const std::string lot = lotName(index);
  const std::string key = lot.substr(4);

  mes.insert("MES_LOT_INFO", {"LOTID", "PRODUCTNO", "SPECNO", "WAFERQTY", "LOTTYPE"},
             {lot, std::string("SCALE"), kSpec, num(kWafers), std::string("P")});
  for (int wafer = 1; wafer <= kWafers; ++wafer) {
    mes.insert("MES_LOT_WAFERID", {"LOTID", "SEQ", "WAFERID"},
               {lot, std::int64_t{wafer}, twoDigits(wafer) + "-" + key});
  }

  const std::vector<std::string> tvCols = {"SYSID",    "LOTID",   "STEPID", "PRODUCTEDCSYSID",
                                           "DATETIME", "LASTTXN", "TA"};
  const int day = 1 + index % 28;
  const std::string date = "2024-0" + std::to_string(1 + index % 9) + "-" + twoDigits(day);
  const bool noTimeVersion = !bench && index % 50 == 7;
  if (!noTimeVersion) {
    const bool several = !bench && index % 20 == 3;
    const bool setAsideProbe = !bench && index % 10 == 5;
    if (several) {
      const std::string old = "TV-" + key + "-1";
      mes.insert("EDC_PRD_TIMEVERSION", tvCols,
                 {old, lot, kStep, kPlan, date + " 06:00:00", null(), std::string("OPR0100")});
      writeCollection(mes, random, lot, old, false);
    }
    const std::string tv = "TV-" + key + "-2";
    mes.insert("EDC_PRD_TIMEVERSION", tvCols,
               {tv, lot, kStep, kPlan, date + " 09:30:00", std::string("1"),
                "OPR" + std::to_string(1000 + random.below(9000))});
    writeCollection(mes, random, lot, tv, setAsideProbe);
    if (several) {
      const std::string cancelled = "TV-" + key + "-3";
      mes.insert("EDC_PRD_TIMEVERSION", tvCols,
                 {cancelled, lot, kStep, kPlan, date + " 11:45:00", std::string("0"),
                  std::string("OPR0300")});
      writeCollection(mes, random, lot, cancelled, false);
    }
  }

  if (!bench && index % 30 == 11) return;  // no inspection record
  const std::int64_t record = 100000 + index;
  std::vector<std::vector<Cell>> wafers;
  std::vector<std::vector<Cell>> defects;
  double good = 0;
  const double die = 500;
  for (int wafer = 1; wafer <= kWafers; ++wafer) {
    const std::int64_t id = record * 100 + wafer;
    const double waferGood = die - (random.chance(85) ? random.below(25) : 25 + random.below(40));
    good += waferGood;
    wafers.push_back({record, id, twoDigits(wafer), num(waferGood), std::string("AOI-F01"),
                      "OPR" + std::to_string(1000 + random.below(9000))});
    const int codes = 2 + random.below(4);
    std::vector<int> used;
    static const int kDefectCodes[] = {99, 101, 102, 150, 199, 200, 210, 220, 250};
    for (int c = 0; c < codes; ++c) {
      const int code = kDefectCodes[random.below(9)];
      bool seen = false;
      for (int u : used) seen = seen || u == code;
      if (seen) continue;
      used.push_back(code);
      defects.push_back({record, id, std::int64_t{code}, num(1 + random.below(5))});
    }
  }
  // Now and then a wafer whose slot could not be read ('00'): no MES wafer matches it.
  if (!bench && index % 9 == 4) {
    wafers.push_back({record, record * 100, std::string("00"), num(390), std::string("AOI-F01"),
                      std::string("OPR0001")});
    good += 390;
  }
  inspection.insert(
      "AUGUSTLOTDATA",
      {"RecordID", "RUNCARD", "STATION", "InspectionDie", "SelectedSamples", "TotalGoodDieQty",
       "InsertUser", "InsertTime"},
      {record, lot, std::string("FQC"), num(die), num(static_cast<double>(wafers.size())),
       num(good), std::string("aoi.fqc01"), date + " 08:40:00"});
  for (const auto& wafer : wafers) {
    inspection.insert("AUGUSTWAFERDATA",
                      {"RecordID", "WaferId", "SWaferID", "GoodDieQty", "Machine", "Operator"},
                      wafer);
  }
  for (const auto& defect : defects) {
    inspection.insert("AugustDefectSum", {"RecordID", "WaferId", "DefectCode", "DefectQty"},
                      defect);
  }
}

void writeConfig(const std::filesystem::path& home) {
  std::filesystem::create_directories(home / "INI");
  std::ofstream out(home / "INI" / "MESconfig.ini", std::ios::trunc);
  out << "; A scaled fab written by velmora-fabgen.\n"
         "[MESDB]\nConnection=sqlite:mes.db\n"
         "[MSSQL]\nServerName=inspection.db\nUserName=inspector\nInitDB=INSPECTION\n"
         "[Providers]\nSQLOLEDB.1=sqlite\n";
  if (!out.flush()) throw std::runtime_error("cannot write " + (home / "INI").string());
}

int usage() {
  std::cerr << "usage: velmora-fabgen --out DIR --lots N --schema DIR [--pg]\n";
  return 2;
}

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
  using namespace velmora::bench;
  std::string out;
  std::string schema;
  long lots = 0;
  bool pg = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--pg") {
      pg = true;
    } else if (i + 1 < argc && arg == "--out") {
      out = argv[++i];
    } else if (i + 1 < argc && arg == "--schema") {
      schema = argv[++i];
    } else if (i + 1 < argc && arg == "--lots") {
      lots = std::strtol(argv[++i], nullptr, 10);
    } else {
      return usage();
    }
  }
  if (out.empty() || schema.empty() || lots < 1 || lots > 1000000) return usage();
  try {
    const std::filesystem::path home(out);
    std::filesystem::create_directories(home);
    std::filesystem::remove(home / "lots.txt");
    writeConfig(home);
    FabSink mes((home / "mes.db").string(), schema + "/mes-schema.sql",
                pg ? (home / "mes.pg.sql").string() : "");
    FabSink inspection((home / "inspection.db").string(), schema + "/inspection-schema.sql",
                       pg ? (home / "inspection.pg.sql").string() : "");
    writeReferenceData(mes);
    for (int index = 0; index < lots; ++index) writeLot(mes, inspection, index);
    mes.finish();
    inspection.finish();
    // Written last: its presence says the fab is complete.
    std::ofstream list(home / "lots.txt", std::ios::trunc);
    for (int index = 0; index < lots; ++index) list << lotName(index) << "," << kStep << "\n";
    if (!list.flush()) throw std::runtime_error("cannot write lots.txt");
  } catch (const std::exception& e) {
    std::cerr << "velmora-fabgen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
