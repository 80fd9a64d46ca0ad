// Abnormals: the check object that an MES client drives.
//
//   velmora::Abnormals check;
//   check.MESDB(database);  check.LogTrace(trace);
//   check.LotID("LOT1");    check.StepID("STEP1");
//   if (check.preExecute() == "ok") {
//     std::string result = check.Execute();   // "ok", "SqlFail", or "" when it failed
//     for (int i = 1; i <= check.Count(); ++i) { auto record = check.Item(i); ... }
//   }
//
// Members are declared in the order of the _Abnormals interface. Text arguments are taken by
// reference and not changed; every text result is a copy. The MES database and trace objects
// are held in slots shared by all check objects of one Context (see context.hpp).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "velmora/abnormal.hpp"
#include "velmora/context.hpp"
#include "velmora/export.h"
#include "velmora/object.hpp"
#include "velmora/run_failure.hpp"
#include "velmora/variant.hpp"

namespace velmora {

class VELMORA_EXPORT Abnormals : public Object {
 public:
  // A check object of the process-wide context.
  Abnormals();
  // A check object of `context` (never null).
  explicit Abnormals(std::shared_ptr<Context> context);
  // Releases the records and empties both shared slots of the context.
  ~Abnormals() override;
  Abnormals(const Abnormals&) = delete;
  Abnormals& operator=(const Abnormals&) = delete;

  // The six flags: "" until the first check run, then "Y" or "N".
  std::string IsEDCItem() const;     // the lot's product and step define EDC items
  std::string IsEDCCollect() const;  // a time version (collected EDC data) exists
  std::string IsEDCFail() const;     // an EDC check found an abnormality
  std::string IsAUGItem() const;     // an item of the inspection kinds ("4", "5") was met
  std::string IsAUGCollect() const;  // data of such an item was found
  std::string IsAUGFail() const;     // an inspection check found an abnormality

  // The lot-level reasons of the last run: entries of item, "/" and reason joined by ",".
  std::string LotDevReasons() const;

  // Stores the MES database object in the shared slot after asking it for MesDatabase. An object
  // without that interface is error 13 and leaves the slot as it was; null empties the slot.
  void MESDB(const std::shared_ptr<Object>& objMesdb);
  // Likewise for the trace object and TraceLog.
  void LogTrace(const std::shared_ptr<Object>& objTrace);

  void LotID(const std::string& strLotId);
  std::string LotID() const;
  void StepID(const std::string& strStepId);
  std::string StepID() const;
  // Replaced by every check run that finds EDC items with the SYSID of the lot's time version.
  void TimeVersionSysid(const std::string& strTimeVersionSysid);
  std::string TimeVersionSysid() const;
  // Kept for the caller; no check run reads it.
  void DateTime(const std::string& strDateTime);
  std::string DateTime() const;

  // The number of records of all runs on this object; more than 32767 is error 6.
  std::int16_t Count() const;

  // Null when there is no record; otherwise the record at a position from 1. A position out of
  // range (error 9) or any text key (error 5, records have no keys) reaches the caller.
  std::shared_ptr<Abnormal> Item(const Variant& key) const;

  // Validates the inputs and changes nothing: "ok", or the list of what is missing.
  std::string preExecute() const;

  // One check run. Returns "ok" when it ended normally, "SqlFail" when the inspection database
  // could not be opened, "" when a failure ended it: a database that could not answer (a missing
  // table, a lock held past the busy timeout, a corrupt file, a lost connection, ...) or an
  // unexpected failure, named in the trace. Never throws.
  std::string Execute();

  // Not part of the MES client's interface: for hosts that report a run (velmora/report.hpp),
  // the failure that ended the last run, empty when it ended "ok" or none has run.
  std::optional<RunFailure> lastRunFailure() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora
