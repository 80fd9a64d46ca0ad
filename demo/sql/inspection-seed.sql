-- Demo inspection data: one inspection record per lot and station class, its wafers (WaferId =
-- RecordID * 100 + slot; SWaferID = two-digit slot) and their defect sums. Defect codes 100-199 are
-- bump defects; 2xx codes are the MES reason codes of the same name; 99 and 200 are other defects.

-- LOT-A01 at FQC: lot yield 94.28, slots 03 and 24 below 93, bump and scratch/particle defects
INSERT INTO AUGUSTLOTDATA (RecordID, RUNCARD, STATION, InspectionDie, SelectedSamples, TotalGoodDieQty, InsertUser, InsertTime) VALUES
  (1001, 'LOT-A01', 'FQC', 500, 5, 2357, 'aoi.fqc01', '2024-05-14 08:40:00');
INSERT INTO AUGUSTWAFERDATA (RecordID, WaferId, SWaferID, GoodDieQty, Machine, Operator) VALUES
  (1001, 100102, '02', 490, 'AOI-F01', 'OPR0417'),
  (1001, 100103, '03', 455, 'AOI-F01', 'OPR0417'),
  (1001, 100110, '10', 480, 'AOI-F01', 'OPR0417'),
  (1001, 100117, '17', 470, 'AOI-F01', 'OPR0417'),
  (1001, 100124, '24', 462, 'AOI-F01', 'OPR0417');
INSERT INTO AugustDefectSum (RecordID, WaferId, DefectCode, DefectQty) VALUES
  (1001, 100102, 99, 3),
  (1001, 100102, 200, 2),
  (1001, 100103, 101, 3),
  (1001, 100103, 150, 2),
  (1001, 100103, 210, 1),
  (1001, 100110, 100, 2),
  (1001, 100110, 199, 2),
  (1001, 100117, 210, 2),
  (1001, 100117, 220, 3),
  (1001, 100124, 102, 4);

-- LOT-A02 at FQC: clean
INSERT INTO AUGUSTLOTDATA (RecordID, RUNCARD, STATION, InspectionDie, SelectedSamples, TotalGoodDieQty, InsertUser, InsertTime) VALUES
  (1002, 'LOT-A02', 'FQC', 500, 5, 2451, 'aoi.fqc01', '2024-05-15 09:30:00');
INSERT INTO AUGUSTWAFERDATA (RecordID, WaferId, SWaferID, GoodDieQty, Machine, Operator) VALUES
  (1002, 100201, '01', 492, 'AOI-F01', 'OPR0522'),
  (1002, 100206, '06', 488, 'AOI-F01', 'OPR0522'),
  (1002, 100212, '12', 495, 'AOI-F01', 'OPR0522'),
  (1002, 100218, '18', 486, 'AOI-F01', 'OPR0522'),
  (1002, 100223, '23', 490, 'AOI-F01', 'OPR0522');
INSERT INTO AugustDefectSum (RecordID, WaferId, DefectCode, DefectQty) VALUES
  (1002, 100206, 101, 1),
  (1002, 100218, 210, 1);

-- LOT-A02 at IQC: clean
INSERT INTO AUGUSTLOTDATA (RecordID, RUNCARD, STATION, InspectionDie, SelectedSamples, TotalGoodDieQty, InsertUser, InsertTime) VALUES
  (1003, 'LOT-A02', 'IQC', 400, 4, 1583, 'aoi.iqc01', '2024-05-02 07:20:00');
INSERT INTO AUGUSTWAFERDATA (RecordID, WaferId, SWaferID, GoodDieQty, Machine, Operator) VALUES
  (1003, 100302, '02', 396, 'AOI-I01', 'OPR0388'),
  (1003, 100308, '08', 395, 'AOI-I01', 'OPR0388'),
  (1003, 100314, '14', 398, 'AOI-I01', 'OPR0388'),
  (1003, 100320, '20', 394, 'AOI-I01', 'OPR0388');
INSERT INTO AugustDefectSum (RecordID, WaferId, DefectCode, DefectQty) VALUES
  (1003, 100314, 210, 1);

-- LOT-A03 at IQC: lot yield 93.4, slot 06 below 96, bump and scratch/discoloration defects
INSERT INTO AUGUSTLOTDATA (RecordID, RUNCARD, STATION, InspectionDie, SelectedSamples, TotalGoodDieQty, InsertUser, InsertTime) VALUES
  (1004, 'LOT-A03', 'IQC', 400, 5, 1868, 'aoi.iqc01', '2024-05-03 07:55:00');
INSERT INTO AUGUSTWAFERDATA (RecordID, WaferId, SWaferID, GoodDieQty, Machine, Operator) VALUES
  (1004, 100401, '01', 392, 'AOI-I01', 'OPR0388'),
  (1004, 100406, '06', 380, 'AOI-I01', 'OPR0388'),
  (1004, 100413, '13', 388, 'AOI-I01', 'OPR0388'),
  (1004, 100420, '20', 395, 'AOI-I01', 'OPR0388'),
  (1004, 100400, '00', 313, 'AOI-I01', 'OPR0388');
INSERT INTO AugustDefectSum (RecordID, WaferId, DefectCode, DefectQty) VALUES
  (1004, 100401, 102, 2),
  (1004, 100406, 101, 2),
  (1004, 100406, 103, 1),
  (1004, 100413, 210, 3),
  (1004, 100420, 250, 3);

-- LOT-A03 at FQC: lot yield 95.5, no wafer below its limits, no defects
INSERT INTO AUGUSTLOTDATA (RecordID, RUNCARD, STATION, InspectionDie, SelectedSamples, TotalGoodDieQty, InsertUser, InsertTime) VALUES
  (1005, 'LOT-A03', 'FQC', 500, 4, 1910, 'aoi.fqc02', '2024-05-16 13:05:00');
INSERT INTO AUGUSTWAFERDATA (RecordID, WaferId, SWaferID, GoodDieQty, Machine, Operator) VALUES
  (1005, 100505, '05', 480, 'AOI-F02', 'OPR0417'),
  (1005, 100510, '10', 478, 'AOI-F02', 'OPR0417'),
  (1005, 100515, '15', 477, 'AOI-F02', 'OPR0417'),
  (1005, 100520, '20', 475, 'AOI-F02', 'OPR0417');

-- LOT-A04 at IPQC (after plating): lot yield 95.75, slot 03 below 94, bump and particle defects
INSERT INTO AUGUSTLOTDATA (RecordID, RUNCARD, STATION, InspectionDie, SelectedSamples, TotalGoodDieQty, InsertUser, InsertTime) VALUES
  (1006, 'LOT-A04', 'IPQC', 400, 4, 1532, 'aoi.ipqc02', '2024-05-07 14:30:00');
INSERT INTO AUGUSTWAFERDATA (RecordID, WaferId, SWaferID, GoodDieQty, Machine, Operator) VALUES
  (1006, 100603, '03', 372, 'AOI-P02', 'OPR0611'),
  (1006, 100609, '09', 384, 'AOI-P02', 'OPR0611'),
  (1006, 100615, '15', 390, 'AOI-P02', 'OPR0611'),
  (1006, 100621, '21', 386, 'AOI-P02', 'OPR0611');
INSERT INTO AugustDefectSum (RecordID, WaferId, DefectCode, DefectQty) VALUES
  (1006, 100609, 101, 4),
  (1006, 100615, 220, 3),
  (1006, 100621, 103, 3),
  (1006, 100621, 220, 1);

-- LOT-B01 at FQC: lot yield 95.2, slot 11 below 92, scratch defects on slot 18
INSERT INTO AUGUSTLOTDATA (RecordID, RUNCARD, STATION, InspectionDie, SelectedSamples, TotalGoodDieQty, InsertUser, InsertTime) VALUES
  (1007, 'LOT-B01', 'FQC', 500, 5, 2380, 'aoi.fqc01', '2024-05-19 11:00:00');
INSERT INTO AUGUSTWAFERDATA (RecordID, WaferId, SWaferID, GoodDieQty, Machine, Operator) VALUES
  (1007, 100701, '01', 485, 'AOI-F01', 'OPR0417'),
  (1007, 100705, '05', 470, 'AOI-F01', 'OPR0417'),
  (1007, 100711, '11', 455, 'AOI-F01', 'OPR0417'),
  (1007, 100718, '18', 480, 'AOI-F01', 'OPR0417'),
  (1007, 100725, '25', 490, 'AOI-F01', 'OPR0417');
INSERT INTO AugustDefectSum (RecordID, WaferId, DefectCode, DefectQty) VALUES
  (1007, 100711, 102, 3),
  (1007, 100718, 210, 5);

-- LOT-B02 at IQC: poor, but LOT-B02 has no EDC items at S-IQC-010
INSERT INTO AUGUSTLOTDATA (RecordID, RUNCARD, STATION, InspectionDie, SelectedSamples, TotalGoodDieQty, InsertUser, InsertTime) VALUES
  (1008, 'LOT-B02', 'IQC', 400, 2, 610, 'aoi.iqc01', '2024-05-04 08:00:00');
INSERT INTO AUGUSTWAFERDATA (RecordID, WaferId, SWaferID, GoodDieQty, Machine, Operator) VALUES
  (1008, 100803, '03', 300, 'AOI-I01', 'OPR0388'),
  (1008, 100807, '07', 310, 'AOI-I01', 'OPR0388');
INSERT INTO AugustDefectSum (RecordID, WaferId, DefectCode, DefectQty) VALUES
  (1008, 100803, 101, 20);

