-- Demo inspection database (SQLite stand-in for the wafer inspection system's SQL Server
-- database): lot records, wafer records and defect sums.
--
-- Die and good-die quantities and defect quantities are REAL, so that the yields the statements
-- compute (TotalGoodDieQty / (InspectionDie * SelectedSamples), GoodDieQty / InspectionDie) are
-- fractions and not integer quotients. WaferId and DefectCode are INTEGER: the statements compare
-- them with unquoted numbers.

-- One inspection record of a lot (RUNCARD) at a station class (STATION: 'IQC', 'FQC', 'IPQC').
-- InspectionDie: dies inspected per wafer; SelectedSamples: wafers inspected.
CREATE TABLE AUGUSTLOTDATA (
  RecordID         INTEGER NOT NULL PRIMARY KEY,
  RUNCARD          TEXT NOT NULL,
  STATION          TEXT NOT NULL,
  InspectionDie    REAL,
  SelectedSamples  REAL,
  TotalGoodDieQty  REAL,
  InsertUser       TEXT,
  InsertTime       TEXT
);
CREATE INDEX AUGUSTLOTDATA_RUNCARD ON AUGUSTLOTDATA (RUNCARD, STATION);

-- One inspected wafer of a record. WaferId is the inspection system's own number for the wafer
-- (used by AugustDefectSum); SWaferID is the two-digit slot, the first two characters of the
-- MES wafer id.
CREATE TABLE AUGUSTWAFERDATA (
  RecordID    INTEGER NOT NULL,
  WaferId     INTEGER NOT NULL,
  SWaferID    TEXT,
  GoodDieQty  REAL,
  Machine     TEXT,
  Operator    TEXT,
  PRIMARY KEY (RecordID, WaferId)
);

-- Defect quantities of a record per wafer and defect code (100-199: bump defects).
CREATE TABLE AugustDefectSum (
  RecordID    INTEGER NOT NULL,
  WaferId     INTEGER NOT NULL,
  DefectCode  INTEGER NOT NULL,
  DefectQty   REAL,
  PRIMARY KEY (RecordID, WaferId, DefectCode)
);
CREATE INDEX AugustDefectSum_Code ON AugustDefectSum (RecordID, DefectCode);
