-- Demo MES database (SQLite): the tables the component reads, with the columns its statements use
-- and a few that a real MES keeps beside them.
--
-- Types: identifiers, codes and flags are TEXT (flags hold '0'..'3' as text, as the MES stores
-- them); sample sizes, fail counts, reason counts, limits, percentages and measured values are
-- REAL, so that divisions give fractions as they do on NUMBER columns; wafer sequence numbers are
-- INTEGER. Timestamps are TEXT in 'YYYY-MM-DD HH:MM:SS' form, so they sort by time.
--
-- The indexes follow the lookups of a check run: every statement finds its rows through the lot,
-- the step, the time version or the parent record's SYSID, so a check costs what the lot holds and
-- not what the whole history holds.

-- Process steps and their stations -------------------------------------------------------------

CREATE TABLE PARM_STEP_INFO (
  SYSID        TEXT NOT NULL PRIMARY KEY,
  STEPID       TEXT NOT NULL,
  STEPNO       TEXT NOT NULL,
  DESCRIPTION  TEXT
);
CREATE UNIQUE INDEX PARM_STEP_INFO_STEPID ON PARM_STEP_INFO (STEPID);
CREATE INDEX PARM_STEP_INFO_STEPNO ON PARM_STEP_INFO (STEPNO);

-- STATIONTYPE 'OP' marks the operation station of a step; other types (equipment, review) exist
-- beside it and are not used to classify the step.
CREATE TABLE PARM_STEP_STATION (
  SYSID        TEXT NOT NULL PRIMARY KEY,
  STEPSYSID    TEXT NOT NULL,
  STATION      TEXT NOT NULL,
  STATIONTYPE  TEXT NOT NULL
);
CREATE INDEX PARM_STEP_STATION_STEP ON PARM_STEP_STATION (STEPSYSID, STATIONTYPE);

-- Lots and wafers --------------------------------------------------------------------------------

CREATE TABLE MES_LOT_INFO (
  LOTID        TEXT NOT NULL PRIMARY KEY,
  PRODUCTNO    TEXT,
  SPECNO       TEXT,
  WAFERQTY     REAL,
  LOTTYPE      TEXT
);
CREATE INDEX MES_LOT_INFO_SPECNO ON MES_LOT_INFO (SPECNO);

-- SEQ is the slot of the wafer in the lot; the first two characters of WAFERID are the two-digit
-- slot, which is how the inspection system names the wafer (SWaferID).
CREATE TABLE MES_LOT_WAFERID (
  LOTID        TEXT NOT NULL,
  SEQ          INTEGER NOT NULL,
  WAFERID      TEXT,
  PRIMARY KEY (LOTID, SEQ)
);

CREATE TABLE MES_BASIC_LISTDATA (
  MODULE       TEXT NOT NULL,
  FIELD_NAME   TEXT NOT NULL,
  FIELD_VALUE  TEXT,
  DESCRIPTION  TEXT
);
CREATE INDEX MES_BASIC_LISTDATA_FIELD ON MES_BASIC_LISTDATA (MODULE, FIELD_NAME);

-- EDC definitions ----------------------------------------------------------------------------------

-- One EDC plan of a spec number at a step. FORRUNCARD '1': SPECNO is a run card (the lot id,
-- or the lot id before its first '.'); '0': SPECNO is the product spec number of MES_LOT_INFO.
CREATE TABLE EDC_PRD_PRODUCTEDC (
  SYSID        TEXT NOT NULL PRIMARY KEY,
  SPECNO       TEXT NOT NULL,
  STEPNO       TEXT NOT NULL,
  FORRUNCARD   TEXT NOT NULL,
  EDCNAME      TEXT
);
CREATE INDEX EDC_PRD_PRODUCTEDC_SPEC ON EDC_PRD_PRODUCTEDC (SPECNO, STEPNO, FORRUNCARD);

-- ITEMTYPE: '0', '1', '2' measured values with SPC charts; '3' fail counts; '4' inspection-system
-- yield; '5' fail counts when collected, else inspection-system yield. Other values are kept for
-- information only.
-- For types '0'..'2' the limits are the usual ones (CP, CPK targets, LSL/USL of the value). For
-- types '3'..'5' they are percentages: CP lot bump-defect limit, CPK wafer bump-defect limit,
-- LSL wafer-yield limit, USL lot-yield limit.
CREATE TABLE EDC_PRD_EDCITEM (
  SYSID            TEXT NOT NULL PRIMARY KEY,
  PRODUCTEDCSYSID  TEXT NOT NULL,
  ITEMSEQ          INTEGER,
  DESCRIPTION      TEXT,
  ITEMTYPE         TEXT,
  UNIT             TEXT,
  CP               REAL,
  CPK              REAL,
  LSL              REAL,
  USL              REAL
);
CREATE INDEX EDC_PRD_EDCITEM_PRODUCTEDC ON EDC_PRD_EDCITEM (PRODUCTEDCSYSID);

CREATE TABLE EDC_PRD_REASONCODE (
  REASONCODE   TEXT NOT NULL PRIMARY KEY,
  DESCRIPTION  TEXT
);

-- Loss-rate limits of an item per reason code: LOTPERCENT for the lot, WAFERPERCENT for one
-- wafer (either may be NULL: no limit at that level).
CREATE TABLE EDC_PRD_LOSSRATE (
  SYSID         TEXT NOT NULL PRIMARY KEY,
  EDCITEMSYSID  TEXT NOT NULL,
  REASONCODE    TEXT NOT NULL,
  LOTPERCENT    REAL,
  WAFERPERCENT  REAL
);
CREATE INDEX EDC_PRD_LOSSRATE_ITEM ON EDC_PRD_LOSSRATE (EDCITEMSYSID);

-- Collected EDC data -------------------------------------------------------------------------------

-- One collection of a lot at a step for an EDC plan. LASTTXN '1' (or NULL on old rows) is a valid
-- collection, '0' one that was cancelled.
CREATE TABLE EDC_PRD_TIMEVERSION (
  SYSID            TEXT NOT NULL PRIMARY KEY,
  LOTID            TEXT NOT NULL,
  STEPID           TEXT NOT NULL,
  PRODUCTEDCSYSID  TEXT NOT NULL,
  DATETIME         TEXT,
  LASTTXN          TEXT,
  TA               TEXT
);
CREATE INDEX EDC_PRD_TIMEVERSION_LOT ON EDC_PRD_TIMEVERSION (LOTID, STEPID, PRODUCTEDCSYSID);

-- The data of one item in one collection. FLAG '1' valid, '0' set aside. CPCPKVIOLATION '0' none,
-- '1' CP, '2' CPK, '3' both. VIOLATIONCOUNT: statistics records with a chart violation.
-- COMMENTS may list wafer slots: 'WithinWafer:3,5|WithinDie:7'.
CREATE TABLE EDC_PRD_BASICDATA (
  SYSID             TEXT NOT NULL PRIMARY KEY,
  TIMEVERSIONSYSID  TEXT NOT NULL,
  EDCITEMSYSID      TEXT NOT NULL,
  EQPID             TEXT,
  FLAG              TEXT,
  CPCPKVIOLATION    TEXT,
  VIOLATIONCOUNT    REAL,
  COMMENTS          TEXT
);
CREATE INDEX EDC_PRD_BASICDATA_TV_ITEM ON EDC_PRD_BASICDATA (TIMEVERSIONSYSID, EDCITEMSYSID);

-- Fail counts: one record per inspected wafer, its sites, and the reasons found at each site.
-- VIOLATIONFLAG '2' and '3' mark violations (NULL, '0' and '1' none).
CREATE TABLE EDC_PRD_FAILCOUNT (
  SYSID           TEXT NOT NULL PRIMARY KEY,
  BASICDATASYSID  TEXT NOT NULL,
  WAFERSEQ        INTEGER,
  SAMPLESIZE      REAL,
  FAILCOUNT       REAL,
  VIOLATIONFLAG   TEXT
);
CREATE INDEX EDC_PRD_FAILCOUNT_BASICDATA ON EDC_PRD_FAILCOUNT (BASICDATASYSID, WAFERSEQ);

CREATE TABLE EDC_PRD_FAILCOUNT_SITE (
  SYSID           TEXT NOT NULL PRIMARY KEY,
  FAILCOUNTSYSID  TEXT NOT NULL,
  SITENAME        TEXT,
  SAMPLESIZE      REAL
);
CREATE INDEX EDC_PRD_FAILCOUNT_SITE_FAILCOUNT ON EDC_PRD_FAILCOUNT_SITE (FAILCOUNTSYSID);

CREATE TABLE EDC_PRD_FAILREASON (
  SYSID               TEXT NOT NULL PRIMARY KEY,
  FAILCOUNTSITESYSID  TEXT NOT NULL,
  REASONCODE          TEXT NOT NULL,
  COUNT               REAL
);
CREATE INDEX EDC_PRD_FAILREASON_SITE ON EDC_PRD_FAILREASON (FAILCOUNTSITESYSID, REASONCODE);

-- SPC statistics of a basic-data record (one per measured wafer; chart 1 the mean, chart 2 the
-- range) and the raw values behind them.
CREATE TABLE EDC_PRD_STATDATA (
  SYSID                 TEXT NOT NULL PRIMARY KEY,
  BASICDATASYSID        TEXT NOT NULL,
  MEANVALUE             REAL,
  RANGEVALUE            REAL,
  CHART1VIOLATIONFLAG   TEXT,
  CHART1VIOLATIONRULES  TEXT,
  CHART2VIOLATIONFLAG   TEXT,
  CHART2VIOLATIONRULES  TEXT
);
CREATE INDEX EDC_PRD_STATDATA_BASICDATA ON EDC_PRD_STATDATA (BASICDATASYSID);

CREATE TABLE EDC_PRD_RAWDATA (
  SYSID          TEXT NOT NULL PRIMARY KEY,
  STATDATASYSID  TEXT NOT NULL,
  WAFERSEQ       INTEGER,
  SITENO         INTEGER,
  VALUE          REAL
);
CREATE INDEX EDC_PRD_RAWDATA_STATDATA ON EDC_PRD_RAWDATA (STATDATASYSID);
