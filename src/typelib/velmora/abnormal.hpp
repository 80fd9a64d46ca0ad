// Abnormal: the findings of one check run for one wafer and one collect type.
//
// A plain value object of nine texts, empty until set. The check run's summary creates and fills
// the records; callers read them through Abnormals::Item. Write accessors take the text by
// reference and store a copy; read accessors return a copy.
#pragma once

#include <string>

#include "velmora/export.h"
#include "velmora/object.hpp"

namespace velmora {

class VELMORA_EXPORT Abnormal : public Object {
 public:
  Abnormal() = default;
  Abnormal(const Abnormal&) = default;
  Abnormal(Abnormal&&) = default;
  Abnormal& operator=(const Abnormal&) = default;
  Abnormal& operator=(Abnormal&&) = default;
  ~Abnormal() override;

  // The EDC item's description; for single-reason defect findings followed by "_" and the
  // reason's description. Several items merged into one record are joined by ",".
  void ItemName(const std::string& strItemName) { itemName_ = strItemName; }
  std::string ItemName() const { return itemName_; }

  // "1" for SPC and comment findings, "2" for fail-count and inspection findings.
  void CollectType(const std::string& strCollectType) { collectType_ = strCollectType; }
  std::string CollectType() const { return collectType_; }

  // The wafer id.
  void WaferID(const std::string& strWaferID) { waferId_ = strWaferID; }
  std::string WaferID() const { return waferId_; }

  // The wafer's sequence number in the lot.
  void WaferSEQ(const std::string& strWaferSEQ) { waferSeq_ = strWaferSEQ; }
  std::string WaferSEQ() const { return waferSeq_; }

  // The equipment id(s).
  void EQPID(const std::string& strEQPID) { eqpId_ = strEQPID; }
  std::string EQPID() const { return eqpId_; }

  // The time version's TA for EDC findings; the inspection record's inserting user otherwise.
  void TA(const std::string& strTA) { ta_ = strTA; }
  std::string TA() const { return ta_; }

  // The wafer yield (empty for collect type "1").
  void WaferYield(const std::string& strWaferYield) { waferYield_ = strWaferYield; }
  std::string WaferYield() const { return waferYield_; }

  // The lot yield (empty for collect type "1").
  void LotYield(const std::string& strLotYield) { lotYield_ = strLotYield; }
  std::string LotYield() const { return lotYield_; }

  // The translated reasons: entries of item name, "/" and reason code, joined by ",".
  void Reasons(const std::string& strReasons) { reasons_ = strReasons; }
  std::string Reasons() const { return reasons_; }

 private:
  std::string itemName_, collectType_, waferId_, waferSeq_, eqpId_, ta_, waferYield_, lotYield_,
      reasons_;
};

}  // namespace velmora
