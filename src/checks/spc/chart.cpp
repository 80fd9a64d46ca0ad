#include "checks/spc/chart.hpp"

#include "checks/spc/statements.hpp"
#include "checks/spc/wafer_seq.hpp"
#include "common/lookups.hpp"
#include "common/text.hpp"

namespace velmora {
namespace {

bool eitherIs(const ChartMarks& marks, const char* flag) {
  return marks.flag1 == flag || marks.flag2 == flag;
}

}  // namespace

std::optional<std::string> chartFinding(const ChartMarks& marks) {
  if (marks.flag1.empty() && marks.flag2.empty()) return std::nullopt;
  const std::string rules = joinText(marks.rules1, marks.rules2);
  if (marks.flag1 == "0" && marks.flag2 == "0" && rules.empty()) return std::nullopt;
  if (eitherIs(marks, "3")) return joinText("OFCS", rules);
  if (eitherIs(marks, "2")) return joinText("OFS", rules);
  if (eitherIs(marks, "1")) return joinText("OFC", rules);
  return rules;
}

void runSpcChartCheck(Run& run) {
  const std::shared_ptr<Recordset> rows =
      run.mes().ExecuteQuery(chartStatement(run.state.timeVersionSysid, run.item.sysid));
  for (; !rows->Eof(); rows->MoveNext()) {
    const ChartMarks marks{rows->Fields("CHART1VIOLATIONFLAG").toText(),
                           rows->Fields("CHART2VIOLATIONFLAG").toText(),
                           rows->Fields("CHART1VIOLATIONRULES").toText(),
                           rows->Fields("CHART2VIOLATIONRULES").toText()};
    const std::optional<std::string> finding = chartFinding(marks);
    if (!finding) continue;

    run.state.flags.IsEDCFail = Flag::kYes;
    Row& row = run.addRow();  // the lookups below append no rows, so the reference stays valid
    row[col::kItemName] = Variant(run.item.name);
    row[col::kEqpId] = Variant(rows->Fields("EQPID").toText());
    row[col::kCollectType] = Variant("1");
    const std::string waferSeq = getWaferSeq(run, rows->Fields("STATDATASYSID").toText());
    row[col::kWaferSeq] = Variant(waferSeq);
    row[col::kWaferId] = Variant(getWaferId(run, run.state.lotId, waferSeq));
    row[col::kFinding] = Variant(*finding);
    row[col::kTa] = Variant(run.state.timeVersionTa);
  }
}

}  // namespace velmora
