// The host's own objects as the engine's outside objects: a MES database, a trace or a
// configuration reader written in VB, VBScript, .NET or C++ and handed in as an IDispatch is
// called late-bound, the way an automation client calls it. Record sets the host returns are read
// the way ADO's are: EOF, Fields.Count, Fields(i).Name, Fields(i).Value, MoveNext.
//
// Our own objects (Velmora.MesDatabase, Velmora.TraceLog, Velmora.IniFile) are recognised and
// used directly.
#pragma once

#include <windows.h>  // before every other Windows header: they need its types

#include <oaidl.h>

#include <memory>

#include "velmora/outside.hpp"

namespace velmora::com {

// The MES database behind `object`: ours as it is, else an adapter; an object that answers
// neither ExecuteQuery nor SelectRecords comes back as one that is no MES database, which the
// check object refuses (error 13). Null for a null object.
std::shared_ptr<Object> mesDatabaseFrom(IDispatch* object);

// The trace behind `object`, likewise (TraceLevel, WriteTrace).
std::shared_ptr<Object> traceLogFrom(IDispatch* object);

// The configuration reader behind `object`; error 13 when it answers none of its members.
std::shared_ptr<IniFile> iniFileFrom(IDispatch* object);

}  // namespace velmora::com
