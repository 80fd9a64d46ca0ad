// The record sets that Velmora.MesDatabase returns, in the shape scripts and VB read ADO's:
// rs.EOF, rs.Fields("NAME").Value (or rs("NAME") through Fields' default member), rs.MoveNext,
// rs.Fields.Count, rs.Fields(i).Name.
#pragma once

#include <memory>

#include "velmora/recordset.hpp"
#include "velmora_h.h"

namespace velmora::com {

// A new COM object over `recordset` (one reference); null when there is no memory.
IDispatch* wrapRecordset(std::shared_ptr<Recordset> recordset);

}  // namespace velmora::com
