// Scripted MES answers for the fail-count checks: the fail-count rows of an item and the
// answers of the rate checks and lookups they call, keyed by the fragments of their statements.
//
// ScriptedMes answers with the most recently added matching rule, so the lot-level defect
// answers are added before the wafer-level ones whose statements contain the same reason
// fragments.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/run_fixture.hpp"

namespace velmora::testing {

// Fragments that pick out each statement of the checks.
inline constexpr const char* kFailCountQuery = "B.FAILCOUNT>0";
inline constexpr const char* kFlaggedQuery = "A.SYSID=B.BASICDATASYSID(+)";
inline constexpr const char* kLotYieldSelect = "SUM(SAMPLESIZE)";
inline constexpr const char* kBumpList = "MES_BASIC_LISTDATA";
inline constexpr const char* kLotDefect = "Sum(c.Count)) Defect ";
inline constexpr const char* kLotDie = "LotDie";
inline constexpr const char* kLotLimits = "A.LOTPERCENT IS NOT NULL";
inline constexpr const char* kWaferLimits = "A.WAFERPERCENT IS NOT NULL";
inline constexpr const char* kWaferIdSelect = "FROM MES_LOT_WAFERID";
inline constexpr const char* kWaferDefect = "WaferDefect";
inline constexpr const char* kReasonsSelect = "EDC_PRD_FAILREASON D";
inline constexpr const char* kCapability = "CPCPKVIOLATION";

// A fail-count row (columns of the type "3" query): EQP1, basic data BD1.
inline std::vector<Variant> failRow(Variant seq, Variant failCountId, Variant flag,
                                    Variant waferYield) {
  return {Variant("EQP1"), Variant("BD1"),        std::move(failCountId),
          std::move(flag), std::move(waferYield), std::move(seq)};
}

inline Answer failRows(std::vector<std::vector<Variant>> rows) {
  return Answer{
      {"EQPID", "BASICDATASYSID", "FAILCOUNTSYSID", "VIOLATIONFLAG", "WAFERYIELD", "WAFERSEQ"},
      std::move(rows)};
}

// The same rows with the FLAG column of the type "5" query appended.
inline Answer flaggedRows(std::vector<std::pair<std::vector<Variant>, Variant>> rows) {
  Answer a = failRows({});
  a.columns.push_back("FLAG");
  for (auto& [row, flag] : rows) {
    row.push_back(flag);
    a.rows.push_back(row);
  }
  return a;
}

inline Answer single(const char* column, Variant value) {
  return Answer{{column}, {{std::move(value)}}};
}

// The lot yield sums of BD1.
inline void scriptLotYield(ScriptedMes& mes, double samples, double failures) {
  mes.on(kLotYieldSelect,
         Answer{{"SAMPLESIZE", "FAILCOUNT"}, {{Variant(samples), Variant(failures)}}});
}

// Bump code B1, and the lot bump defect count.
inline void scriptLotBump(ScriptedMes& mes, double defect) {
  mes.on(kBumpList, Answer{{"FIELD_VALUE"}, {{Variant("B1")}}});
  mes.on("c.ReasonCode in ('B1') ", single("DEFECT", Variant(defect)));
}

inline void scriptLotDie(ScriptedMes& mes, double lotDie) {
  mes.on(kLotDie, single("LOTDIE", Variant(lotDie)));
}

// The lot defect count of `reason`.
inline void scriptLotReason(ScriptedMes& mes, const std::string& reason, double defect) {
  mes.on("c.ReasonCode='" + reason + "' ", single("DEFECT", Variant(defect)));
}

// Loss-rate limits (reason, limit, description) at lot or wafer level.
inline void scriptLimits(ScriptedMes& mes, const char* fragment, const char* percentColumn,
                         std::vector<std::vector<Variant>> rows) {
  mes.on(fragment, Answer{{"REASONCODE", percentColumn, "DESCRIPTION"}, std::move(rows)});
}

// The wafer bump rate of wafer `seq`.
inline void scriptWaferBump(ScriptedMes& mes, const std::string& seq, double rate) {
  mes.on("in ('B1')  AND a.WaferSeq='" + seq + "'", single("WAFERDEFECT", Variant(rate)));
}

// The wafer rate of `reason` on wafer `seq`.
inline void scriptWaferReason(ScriptedMes& mes, const std::string& reason, const std::string& seq,
                              double rate) {
  mes.on("c.ReasonCode='" + reason + "'  AND a.WaferSeq='" + seq + "'",
         single("WAFERDEFECT", Variant(rate)));
}

inline void scriptWaferId(ScriptedMes& mes, const std::string& seq, const std::string& waferId) {
  mes.on("SEQ = '" + seq + "' ",
         Answer{{"LOTID", "SEQ", "WAFERID"}, {{Variant("LOT1"), Variant(seq), Variant(waferId)}}});
}

inline void scriptReasons(ScriptedMes& mes, const std::string& failCountId,
                          std::vector<std::string> codes) {
  Answer a{{"REASONCODE"}, {}};
  for (auto& c : codes) a.rows.push_back({Variant(c)});
  mes.on("C.FAILCOUNTSYSID = '" + failCountId + "'", std::move(a));
}

inline void scriptCapability(ScriptedMes& mes, const char* mark) {
  mes.on(kCapability, single("CPCPKVIOLATION", Variant(mark)));
}

// The findings (column 6) of the rows added, in order.
inline std::vector<std::string> findings(const RunFixture& f) {
  std::vector<std::string> out;
  for (const Row& row : f.rows()) out.push_back(row[col::kFinding].toText());
  return out;
}

}  // namespace velmora::testing
