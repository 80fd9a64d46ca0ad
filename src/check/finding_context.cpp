#include <exception>
#include <map>
#include <set>
#include <utility>

#include "check/driver.hpp"
#include "check/finding_codes.hpp"
#include "check/statements.hpp"
#include "common/mes_queries.hpp"
#include "common/statements.hpp"
#include "velmora/error.hpp"
#include "velmora/findings.hpp"

namespace velmora {
namespace {

// One entry "item/code" of a reason list, split at its last "/" (codes hold no "/"; an item name
// may).
struct Entry {
  std::string text, prefix, code;
};

std::vector<Entry> splitEntries(const std::string& list) {
  std::vector<Entry> entries;
  if (list.empty()) return entries;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    Entry entry;
    entry.text = list.substr(start, comma == std::string::npos ? comma : comma - start);
    const std::size_t slash = entry.text.rfind('/');
    entry.prefix = slash == std::string::npos ? "" : entry.text.substr(0, slash);
    entry.code = slash == std::string::npos ? entry.text : entry.text.substr(slash + 1);
    entries.push_back(std::move(entry));
    if (comma == std::string::npos) return entries;
    start = comma + 1;
  }
}

struct LossRate {
  std::string reason, description, percent;
};

// An EDC item of the step: its name and limit columns as text, and the loss-rate rows of the
// levels read so far.
struct ItemLimits {
  std::string name, cp, cpk, lsl, usl;
  bool lotRatesRead = false, waferRatesRead = false;
  std::vector<LossRate> lotRates, waferRates;
};

// The item an entry names and, for a reason rate, the loss-rate row.
struct Named {
  const ItemLimits* item = nullptr;
  const LossRate* rate = nullptr;
};

class ContextReader {
 public:
  ContextReader(MesDatabase& mes, FindingContext& out) : mes_(mes), out_(out) {}

  // Runs `read` on the answer to `sql`; a failure is kept in the context's error and ends all
  // further reading (a database that failed once is not asked again).
  template <typename Read>
  void query(const Statement& sql, Read read) {
    if (!out_.error.empty()) return;
    try {
      const std::shared_ptr<Recordset> rows = mes_.ExecuteQuery(sql);
      for (; !rows->Eof(); rows->MoveNext()) read(*rows);
    } catch (const AutomationError& e) {
      fail(e.description(), sql);
    } catch (const std::exception& e) {
      fail(e.what(), sql);
    }
  }

  void readItems(const std::string& lot, const std::string& step) {
    if (!out_.error.empty()) return;
    Statement last;
    const auto failed = [&](const std::string& why) {
      items_.clear();
      sysids_.clear();
      fail("the EDC items of lot " + lot + " at step " + step + " could not be read: " + why, last);
    };
    try {
      const std::shared_ptr<Recordset> rows = findEdcItems(
          [&](const Statement& sql) {
            last = sql;
            return mes_.ExecuteQuery(sql);
          },
          lot, step);
      for (; !rows->Eof(); rows->MoveNext()) {
        ItemLimits item;
        item.name = rows->Fields("DESCRIPTION").toText();
        item.cp = rows->Fields("CP").toText();
        item.cpk = rows->Fields("CPK").toText();
        item.lsl = rows->Fields("LSL").toText();
        item.usl = rows->Fields("USL").toText();
        sysids_.push_back(rows->Fields("SYSID").toText());
        items_.push_back(std::move(item));
      }
    } catch (const AutomationError& e) {
      failed(e.description());
    } catch (const std::exception& e) {
      failed(e.what());
    }
  }

  // The item named by `entry`; for a reason rate (`lotLevel` tells which limit) also its
  // loss-rate row, whose description is the rest of the entry's prefix after the item name and
  // "_".
  Named name(const Entry& entry, bool reasonRate, bool lotLevel) {
    for (const ItemLimits& item : items_) {
      if (!reasonRate && item.name == entry.prefix) return {&item, nullptr};
    }
    if (!reasonRate) return {};
    for (std::size_t i = 0; i < items_.size(); ++i) {
      ItemLimits& item = items_[i];
      const std::string head = item.name + "_";
      if (entry.prefix.compare(0, head.size(), head) != 0) continue;
      const std::string description = entry.prefix.substr(head.size());
      for (const LossRate& rate : lossRates(i, lotLevel)) {
        if (rate.description == description) return {&item, &rate};
      }
    }
    return {};
  }

 private:
  const std::vector<LossRate>& lossRates(std::size_t index, bool lotLevel) {
    ItemLimits& item = items_[index];
    bool& read = lotLevel ? item.lotRatesRead : item.waferRatesRead;
    std::vector<LossRate>& rates = lotLevel ? item.lotRates : item.waferRates;
    if (!read) {
      read = true;
      const char* percent = lotLevel ? "LOTPERCENT" : "WAFERPERCENT";
      query(
          lotLevel ? lotLossRateStatement(sysids_[index]) : waferLossRateStatement(sysids_[index]),
          [&](Recordset& row) {
            rates.push_back({row.Fields("REASONCODE").toText(), row.Fields("DESCRIPTION").toText(),
                             row.Fields(percent).toText()});
          });
    }
    return rates;
  }

  void fail(const std::string& what, const Statement& sql) {
    out_.error = what;
    if (!sql.text().empty() && what.find(sql.text()) == std::string::npos) {
      out_.error += " (statement: " + sql.text() + ")";
    }
  }

  MesQueries mes_;
  FindingContext& out_;
  std::vector<ItemLimits> items_;
  std::vector<std::string> sysids_;
};

// "CP 1.33, CPK 1.5": the capability limits `code` was judged against, those that are set.
std::string capabilityLimit(const std::string& code, const ItemLimits& item) {
  const bool cp = code != "CPK" && !item.cp.empty();
  const bool cpk = code != "CP" && !item.cpk.empty();
  std::string limit = cp ? "CP " + item.cp : "";
  if (cpk) limit += (cp ? ", CPK " : "CPK ") + item.cpk;
  return limit;
}

bool isReasonRate(Judged judged) {
  return judged == Judged::kLotReasonRate || judged == Judged::kWaferReasonRate;
}

// The judgement of `entry`; `yield` is the yield the records hold for its item ("" when they
// hold none of its own).
Judgement judge(const Entry& entry, Judged judged, const Named& named, const std::string& yield) {
  Judgement j;
  j.entry = entry.text;
  j.code = entry.code;
  if (named.item != nullptr) j.item = named.item->name;
  std::string reason;
  if (named.rate != nullptr) {
    j.reason = named.rate->reason;
    reason = named.rate->reason + " (" + named.rate->description + ")";
    j.limit = named.rate->percent;
  }
  j.comparison = comparisonText(judged, entry.code, reason);
  const ItemLimits* item = named.item;
  switch (judged) {
    case Judged::kLotBump:
      if (item != nullptr) j.limit = item->cp;
      break;
    case Judged::kWaferBump:
      if (item != nullptr) j.limit = item->cpk;
      break;
    case Judged::kLotYield:
      j.actual = yield;
      if (item != nullptr) j.limit = item->usl;
      break;
    case Judged::kWaferYield:
      j.actual = yield;
      if (item != nullptr) j.limit = item->lsl;
      break;
    case Judged::kCapability:
      if (item != nullptr) j.limit = capabilityLimit(entry.code, *item);
      break;
    default:
      break;
  }
  return j;
}

// The item an entry names: the matched item's name, else the prefix itself, except for a reason
// rate whose prefix also holds the reason: "" (not known).
std::string itemKey(const Entry& entry, Judged judged, const Named& named) {
  if (named.item != nullptr) return named.item->name;
  return isReasonRate(judged) ? "" : entry.prefix;
}

// A reason rate's reason code goes into the descriptions with the loss-rate row's description.
void noteReason(FindingContext& out, const Named& named) {
  if (named.rate != nullptr && !named.rate->description.empty()) {
    out.descriptions.emplace(named.rate->reason, named.rate->description);
  }
}

}  // namespace

FindingContext readFindingContext(MesDatabase& mes, const Report& report) {
  FindingContext out;
  const std::vector<Entry> lotEntries = splitEntries(report.lotDevReasons);
  std::vector<std::vector<Entry>> recordEntries;
  bool any = !lotEntries.empty();
  for (const Abnormal& record : report.records) {
    recordEntries.push_back(splitEntries(record.Reasons()));
    any = any || !recordEntries.back().empty();
  }
  out.records.resize(report.records.size());
  if (!any) return out;

  ContextReader reader(mes, out);
  reader.readItems(report.lot, report.step);

  // The record entries first: a lot yield's actual value comes from a record of its item.
  std::map<std::string, std::string> lotYieldOfItem;
  std::vector<std::vector<Judged>> recordJudged(report.records.size());
  for (std::size_t r = 0; r < report.records.size(); ++r) {
    const Abnormal& record = report.records[r];
    const std::vector<Entry>& entries = recordEntries[r];
    std::vector<Judged>& judged = recordJudged[r];
    judged.resize(entries.size());
    std::vector<Named> named(entries.size());
    std::vector<std::string> keys(entries.size());
    std::set<std::string> distinct;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      // Whether a later entry names the same item decides between a chart flag and a comment;
      // the item names come from the prefixes here, as no SPC entry names a reason.
      bool last = true;
      for (std::size_t later = e + 1; later < entries.size(); ++later) {
        last = last && entries[later].prefix != entries[e].prefix;
      }
      judged[e] = recordJudgement(entries[e].code, record.CollectType(), last);
      named[e] = reader.name(entries[e], isReasonRate(judged[e]), false);
      keys[e] = itemKey(entries[e], judged[e], named[e]);
      distinct.insert(keys[e]);
      noteReason(out, named[e]);
    }
    // The record's yields are the lowest over its merged rows: an item's own only when every
    // entry names that one item.
    const bool ownYields = distinct.size() == 1 && !keys.front().empty();
    if (ownYields && record.CollectType() != "1" && !record.LotYield().empty()) {
      lotYieldOfItem.emplace(keys.front(), record.LotYield());
    }
    for (std::size_t e = 0; e < entries.size(); ++e) {
      out.records[r].push_back(
          judge(entries[e], judged[e], named[e], ownYields ? record.WaferYield() : ""));
    }
  }

  std::vector<Judged> lotJudged;
  for (const Entry& entry : lotEntries) {
    const Judged judged = lotJudged.emplace_back(lotJudgement(entry.code));
    const Named named = reader.name(entry, isReasonRate(judged), true);
    noteReason(out, named);
    const auto yield = lotYieldOfItem.find(itemKey(entry, judged, named));
    out.lot.push_back(
        judge(entry, judged, named, yield == lotYieldOfItem.end() ? "" : yield->second));
  }

  // Descriptions: the MES's for its reason codes (asked once each; the loss-rate rows gave some
  // already), else the fixed texts. An SPC rule id is described as one whatever the MES holds
  // for a reason code of the same name.
  std::map<std::string, std::string> fromMes = out.descriptions;
  auto mesDescription = [&](const std::string& code) {
    if (code.empty() || !describedByMes(code)) return std::string();
    const auto added = fromMes.emplace(code, "");
    std::string& text = added.first->second;
    if (added.second) {
      reader.query(reasonCodeStatement(code), [&](Recordset& row) {
        if (text.empty()) text = row.Fields("DESCRIPTION").toText();
      });
    }
    return text;
  };
  auto describe = [&](Judgement& j, Judged judged) {
    j.description = judged == Judged::kSpcRule
                        ? "SPC rule " + j.code + " violated on a control chart"
                        : mesDescription(j.code);
    if (j.description.empty()) j.description = ownCodeDescription(j.code);
    if (!j.description.empty()) out.descriptions.emplace(j.code, j.description);
  };
  for (std::size_t e = 0; e < out.lot.size(); ++e) describe(out.lot[e], lotJudged[e]);
  for (std::size_t r = 0; r < out.records.size(); ++r) {
    for (std::size_t e = 0; e < out.records[r].size(); ++e) {
      describe(out.records[r][e], recordJudged[r][e]);
    }
  }
  return out;
}

}  // namespace velmora
