// A trace that remembers the last error entry of a check run, so that a run that did not return
// "ok" can be explained in one line.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "velmora/outside.hpp"

namespace velmora::cli {

// Passes every entry on to `next` (when not null) and keeps the last error entry.
//
// The component writes two kinds of entries, both "<source>: <text>": the start entry of a
// procedure, whose text is "Executing...", and the error entry "<number>:<description>". An error
// entry without a description (the "0:" that the run writes when the inspection login failed,
// after the login's own error entry) explains nothing and is not kept, so the entry kept for a
// "SqlFail" run is the failed login's.
class LastErrorTrace : public TraceLog {
 public:
  explicit LastErrorTrace(std::shared_ptr<TraceLog> next = nullptr);

  // The level of `next`, or 5 (every entry) without one.
  std::int16_t TraceLevel() override;
  void WriteTrace(std::int16_t& level, std::string& text) override;

  // The last error entry since the last clear(), "" when there was none.
  std::string lastError() const;
  void clear();

 private:
  std::shared_ptr<TraceLog> next_;
  mutable std::mutex mutex_;
  std::string last_;
};

// True when `entry` ("<source>: <text>") is an error entry with a description.
bool isErrorEntry(const std::string& entry);

}  // namespace velmora::cli
