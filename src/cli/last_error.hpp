// The trace of `velmora check`: every entry goes on to the trace the user asked for (or to none),
// and the last error entry is kept, so that a failed check can say why on standard error even
// without --trace.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "velmora/outside.hpp"

namespace velmora::cli {

class LastErrorTrace : public TraceLog {
 public:
  // `inner` is the trace the entries go on to; null for none (the level is then 0, at which
  // the component still writes its error entries).
  explicit LastErrorTrace(std::shared_ptr<TraceLog> inner) : inner_(std::move(inner)) {}

  std::int16_t TraceLevel() override { return inner_ ? inner_->TraceLevel() : 0; }
  // Keeps `text` when it is an error entry, "Abnormals.<procedure>: <number>:<description>"
  // with a number other than 0, then passes it on.
  void WriteTrace(std::int16_t& level, std::string& text) override;

  // The last error entry's procedure ("getStation") and error ("1:no such table: T ..."); both
  // "" when there was none.
  const std::string& procedure() const { return procedure_; }
  const std::string& error() const { return error_; }

 private:
  std::shared_ptr<TraceLog> inner_;
  std::string procedure_;
  std::string error_;
};

}  // namespace velmora::cli
