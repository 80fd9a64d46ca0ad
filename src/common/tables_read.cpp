// Kept in step with the statements: src/check/driver.cpp, src/common (database, lookups, loss
// rate), src/checks (edc, spc, inspection/statements.cpp) and, for the command, the lot selection
// of velmora batch and the wafer slots of the HTML report. A statement that reads a new table or
// column adds it here, or velmora doctor passes a home whose checks then fail.
#include "velmora/tables_read.hpp"

namespace velmora {

const std::vector<TableRead>& tablesRead() {
  static const std::vector<TableRead> tables = {
      {"MES", "PARM_STEP_INFO", {"SYSID", "STEPID", "STEPNO"}, "STEPID"},
      {"MES", "PARM_STEP_STATION", {"STEPSYSID", "STATION", "STATIONTYPE"}, "STEPSYSID"},
      {"MES", "MES_LOT_INFO", {"LOTID", "SPECNO"}, "LOTID"},
      {"MES", "MES_LOT_WAFERID", {"LOTID", "SEQ", "WAFERID"}, "LOTID"},
      {"MES", "MES_BASIC_LISTDATA", {"MODULE", "FIELD_NAME", "FIELD_VALUE"}, ""},
      {"MES", "EDC_PRD_PRODUCTEDC", {"SYSID", "SPECNO", "STEPNO", "FORRUNCARD"}, "SPECNO"},
      {"MES",
       "EDC_PRD_EDCITEM",
       {"SYSID", "PRODUCTEDCSYSID", "DESCRIPTION", "ITEMTYPE", "CP", "CPK", "LSL", "USL"},
       "PRODUCTEDCSYSID"},
      {"MES", "EDC_PRD_REASONCODE", {"REASONCODE", "DESCRIPTION"}, "REASONCODE"},
      {"MES",
       "EDC_PRD_LOSSRATE",
       {"EDCITEMSYSID", "REASONCODE", "LOTPERCENT", "WAFERPERCENT"},
       "EDCITEMSYSID"},
      {"MES",
       "EDC_PRD_TIMEVERSION",
       {"SYSID", "LOTID", "STEPID", "PRODUCTEDCSYSID", "DATETIME", "LASTTXN", "TA"},
       "LOTID"},
      {"MES",
       "EDC_PRD_BASICDATA",
       {"SYSID", "TIMEVERSIONSYSID", "EDCITEMSYSID", "EQPID", "FLAG", "CPCPKVIOLATION",
        "VIOLATIONCOUNT", "COMMENTS"},
       "TIMEVERSIONSYSID"},
      {"MES",
       "EDC_PRD_FAILCOUNT",
       {"SYSID", "BASICDATASYSID", "WAFERSEQ", "SAMPLESIZE", "FAILCOUNT", "VIOLATIONFLAG"},
       "BASICDATASYSID"},
      {"MES",
       "EDC_PRD_FAILCOUNT_SITE",
       {"SYSID", "FAILCOUNTSYSID", "SAMPLESIZE"},
       "FAILCOUNTSYSID"},
      {"MES",
       "EDC_PRD_FAILREASON",
       {"FAILCOUNTSITESYSID", "REASONCODE", "COUNT"},
       "FAILCOUNTSITESYSID"},
      {"MES",
       "EDC_PRD_STATDATA",
       {"SYSID", "BASICDATASYSID", "CHART1VIOLATIONFLAG", "CHART1VIOLATIONRULES",
        "CHART2VIOLATIONFLAG", "CHART2VIOLATIONRULES"},
       "BASICDATASYSID"},
      {"MES", "EDC_PRD_RAWDATA", {"STATDATASYSID", "WAFERSEQ"}, "STATDATASYSID"},
      {"inspection",
       "AUGUSTLOTDATA",
       {"RecordID", "RUNCARD", "STATION", "InspectionDie", "SelectedSamples", "TotalGoodDieQty",
        "InsertUser"},
       "RUNCARD"},
      {"inspection",
       "AUGUSTWAFERDATA",
       {"RecordID", "WaferId", "SWaferID", "GoodDieQty", "Machine", "Operator"},
       "RecordID"},
      {"inspection", "AugustDefectSum", {"RecordID", "DefectCode", "DefectQty"}, "RecordID"},
  };
  return tables;
}

}  // namespace velmora
