#include "check/driver.hpp"

#include <gtest/gtest.h>

#include "support/check_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::CheckFixture;
using testing::itemRow;

const std::string kStation =
    "SELECT B.STATION FROM PARM_STEP_INFO A,PARM_STEP_STATION B  WHERE A.STEPID='STEP1' AND "
    "A.SYSID=B.STEPSYSID AND B.STATIONTYPE='OP' ";

std::string runCardItems(const std::string& lot) {
  return "SELECT B.SYSID PRODUCTEDCSYSID,D.*  FROM PARM_STEP_INFO A,EDC_PRD_PRODUCTEDC "
         "B,EDC_PRD_EDCITEM D  WHERE A.STEPID='STEP1' AND A.STEPNO=B.STEPNO AND B.FORRUNCARD='1' "
         "AND B.SPECNO='" +
         lot + "'  AND B.SYSID=D.PRODUCTEDCSYSID ";
}

std::string runCardPrefixItems(const std::string& prefix) {
  return "SELECT B.SYSID PRODUCTEDCSYSID,D.*  FROM PARM_STEP_INFO A,EDC_PRD_PRODUCTEDC "
         "B,EDC_PRD_EDCITEM D  WHERE A.STEPID='STEP1' AND A.STEPNO=B.STEPNO AND B.FORRUNCARD='1'  "
         "AND B.SPECNO='" +
         prefix + "'  AND B.SYSID=D.PRODUCTEDCSYSID ";
}

std::string specItems(const std::string& lot) {
  return "SELECT B.SYSID PRODUCTEDCSYSID,D.*  FROM PARM_STEP_INFO A,EDC_PRD_PRODUCTEDC "
         "B,MES_LOT_INFO C,EDC_PRD_EDCITEM D  WHERE C.LOTID='" +
         lot +
         "' AND C.SPECNO=B.SPECNO AND B.FORRUNCARD='0' AND B.STEPNO=A.STEPNO  AND "
         "A.STEPID='STEP1' AND B.SYSID=D.PRODUCTEDCSYSID ";
}

const std::string kTimeVersion =
    "SELECT * FROM EDC_PRD_TIMEVERSION  WHERE LOTID='LOT1' AND STEPID='STEP1' AND "
    "PRODUCTEDCSYSID='PE1'  AND ( LASTTXN='1' OR LASTTXN IS NULL ) ORDER BY DATETIME DESC ";

TEST(Driver, NoItemsEndsWithOkAfterTheThreeItemStatements) {
  CheckFixture f;
  EXPECT_EQ(f.check.Execute(), "ok");
  EXPECT_EQ(f.mes->statements,
            (std::vector<std::string>{kStation, runCardItems("LOT1"), specItems("LOT1")}));
  EXPECT_EQ(f.check.IsEDCItem(), "N");
  EXPECT_EQ(f.check.IsEDCCollect(), "N");
  EXPECT_EQ(f.check.IsAUGFail(), "N");
  EXPECT_EQ(f.check.Count(), 0);
  EXPECT_EQ(f.trace->entries, (std::vector<std::string>{"Abnormals.Execute: Executing...",
                                                        "Abnormals.getStation: Executing..."}));
}

TEST(Driver, ReadsTheInspectionSettingsInOrderThroughANewIniFile) {
  CheckFixture f;
  f.check.Execute();
  f.check.Execute();
  EXPECT_EQ(f.inisCreated, 2);
  EXPECT_EQ(f.ini->opened[0], "/home/mes/INI/MESconfig.ini");
  EXPECT_EQ(f.ini->reads[0], "MSSQL/ServerName");
  EXPECT_EQ(f.ini->reads[1], "MSSQL/UserName");
  EXPECT_EQ(f.ini->reads[2], "MSSQL/InitDB");
  EXPECT_EQ(f.ini->reads[3], "MSSQL/Password");
}

TEST(Driver, PasswordComesFromTheConfigurationWithTheFixedTextAsFallback) {
  auto context = std::make_shared<Context>();
  auto ini = std::make_shared<testing::ScriptedIni>();
  context->iniFactory = [&] { return ini; };
  EXPECT_EQ(readInspectionSettings(*context).password, "jxw");
  ini->values["MSSQL/Password"] = "s3cret";
  const InspectionSettings settings = readInspectionSettings(*context);
  EXPECT_EQ(settings.password, "s3cret");
  EXPECT_EQ(settings.server, "insp-server");
  EXPECT_EQ(settings.catalogue, "INSPECTION");
}

TEST(Driver, ALotIdWithAPointTriesItsRunCardPrefix) {
  CheckFixture f;
  f.check.LotID("AB123.1");
  f.mes->on(runCardPrefixItems("AB123"), Answer{testing::kItemColumns, {itemRow("I1", "X", 7)}});
  EXPECT_EQ(f.check.Execute(), "ok");
  ASSERT_GE(f.mes->statements.size(), 3u);
  EXPECT_EQ(f.mes->statements[1], runCardItems("AB123.1"));
  EXPECT_EQ(f.mes->statements[2], runCardPrefixItems("AB123"));
  EXPECT_EQ(f.check.IsEDCItem(), "Y");
  EXPECT_EQ(f.mes->count("MES_LOT_INFO"), 0);
}

TEST(Driver, ALotIdWithAPointFallsThroughToTheSpecificationItems) {
  CheckFixture f;
  f.check.LotID("AB123.1");
  f.check.Execute();
  EXPECT_EQ(f.mes->statements,
            (std::vector<std::string>{kStation, runCardItems("AB123.1"),
                                      runCardPrefixItems("AB123"), specItems("AB123.1")}));
}

TEST(Driver, ItemsWithoutTimeVersionSkipEdcTypesAndReplaceTheCallersVersion) {
  CheckFixture f;
  f.check.TimeVersionSysid("CALLER");
  f.items({itemRow("I0", "A", "0"), itemRow("I3", "B", "3"), itemRow("I7", "C", 7),
           itemRow("IN", "D", Variant::null())});
  EXPECT_EQ(f.check.Execute(), "ok");
  EXPECT_EQ(f.check.IsEDCItem(), "Y");
  EXPECT_EQ(f.check.IsEDCCollect(), "N");
  EXPECT_EQ(f.check.TimeVersionSysid(), "");
  // Station, items, time version: no statement for any item.
  EXPECT_EQ(f.mes->statements,
            (std::vector<std::string>{kStation, runCardItems("LOT1"), kTimeVersion}));
}

TEST(Driver, TheLatestTimeVersionServesEveryItem) {
  CheckFixture f;
  f.station("ST-FQ-1");
  f.items({itemRow("I1", "ITEM1", "1"), itemRow("I2", "ITEM2", 2)});
  f.timeVersion("TV9", "TA9");
  f.mes->on("SELECT CPCPKVIOLATION", Answer{{"CPCPKVIOLATION"}, {{Variant("1")}}});
  EXPECT_EQ(f.check.Execute(), "ok");
  EXPECT_EQ(f.check.TimeVersionSysid(), "TV9");
  EXPECT_EQ(f.check.IsEDCCollect(), "Y");
  EXPECT_EQ(f.mes->count("FROM EDC_PRD_TIMEVERSION"), 1);
  EXPECT_EQ(f.mes->count("WHERE TIMEVERSIONSYSID='TV9'  AND EDCITEMSYSID='I1' AND FLAG='1' AND "
                         "CPCPKVIOLATION<>'0'"),
            1);
  EXPECT_EQ(f.check.IsEDCFail(), "Y");
  EXPECT_EQ(f.check.LotDevReasons(), "ITEM1/FQCIDT021,ITEM2/FQCIDT021");
}

TEST(Driver, AFailingStatementEndsTheRunWithTheEmptyResultAndItsErrorEntry) {
  CheckFixture f;
  f.items({itemRow("I1", "ITEM1", "1")});
  f.timeVersion("TV1", "TA1");
  f.mes->failOn("SELECT CPCPKVIOLATION", AutomationError(-2147217865, "no such table"));
  EXPECT_EQ(f.check.Execute(), "");
  EXPECT_EQ(f.check.IsEDCItem(), "Y");
  EXPECT_EQ(f.trace->entries.back(), "Abnormals.Execute: -2147217865:no such table");
  EXPECT_EQ(f.check.Count(), 0);
}

TEST(Driver, AFailingConfigurationFileEndsTheRun) {
  CheckFixture f;
  f.ini->failOpen = true;
  EXPECT_EQ(f.check.Execute(), "");
  EXPECT_EQ(f.trace->entries.back(),
            "Abnormals.Execute: 53:File not found: /home/mes/INI/MESconfig.ini");
  EXPECT_EQ(f.check.IsEDCItem(), "N");
}

TEST(Driver, WithoutAMesDatabaseTheRunEndsThroughItsErrorExit) {
  CheckFixture f;
  f.check.MESDB(nullptr);
  EXPECT_EQ(f.check.Execute(), "");
  // The first procedure that asks the database names the failure; the driver adds no entry.
  EXPECT_EQ(f.trace->entries.back().rfind("Abnormals.getStation: 91:", 0), 0u);
}

TEST(Driver, AStationLookupThatCannotAnswerEndsTheRunNamingIt) {
  CheckFixture f;
  f.mes->failOn("SELECT B.STATION", AutomationError(-1, "ORA-01017"));
  f.items({itemRow("I1", "ITEM1", "1")});
  f.timeVersion("TV1", "TA1");
  EXPECT_EQ(f.check.Execute(), "");
  // The station's error entry is the last one: no other entry repeats it.
  EXPECT_EQ(f.trace->entries, (std::vector<std::string>{"Abnormals.Execute: Executing...",
                                                        "Abnormals.getStation: Executing...",
                                                        "Abnormals.getStation: -1:ORA-01017"}));
  EXPECT_EQ(f.mes->statements.size(), 1u);
  EXPECT_EQ(f.check.IsEDCItem(), "N");
}

TEST(Driver, QuotesInTheLotIdAreDoubledInEveryStatement) {
  CheckFixture f;
  f.check.LotID("O'NEIL");
  f.check.Execute();
  EXPECT_EQ(f.mes->statements[1], runCardItems("O''NEIL"));
  EXPECT_EQ(f.mes->statements[2], specItems("O''NEIL"));
}

TEST(Driver, ASecondRunWithoutItemsResetsFlagsAndKeepsTheFirstRunsVersion) {
  CheckFixture f;
  f.station("ST-FQ-1");
  f.mes->on("B.SPECNO='LOT1'", Answer{testing::kItemColumns, {itemRow("I1", "ITEM1", "1")}});
  f.timeVersion("TV9", "TA9");
  f.mes->on("SELECT CPCPKVIOLATION", Answer{{"CPCPKVIOLATION"}, {{Variant("2")}}});
  EXPECT_EQ(f.check.Execute(), "ok");
  EXPECT_EQ(f.check.LotDevReasons(), "ITEM1/FQCIDT021");
  f.check.LotID("OTHER");
  EXPECT_EQ(f.check.Execute(), "ok");
  EXPECT_EQ(f.check.IsEDCItem(), "N");
  EXPECT_EQ(f.check.IsEDCFail(), "N");
  EXPECT_EQ(f.check.LotDevReasons(), "");
  EXPECT_EQ(f.check.TimeVersionSysid(), "TV9");
}

}  // namespace
}  // namespace velmora
