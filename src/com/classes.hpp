// The creatable classes of the server: what the class factory makes and what registration
// writes (ProgID "Velmora.<name>", versioned "Velmora.<name>.1").
#pragma once

#include <windows.h>  // before every other Windows header: they need its types

#include <unknwn.h>

#include <span>

namespace velmora::com {

struct ClassEntry {
  const CLSID* clsid;
  const wchar_t* name;
  const wchar_t* description;
  // A new object with one reference, or null when there is no memory.
  IUnknown* (*create)();
};

std::span<const ClassEntry> classes();

// The constructors of the classes (each in its own source).
IUnknown* newAbnormals();
IUnknown* newAbnormal();
IUnknown* newDataSet();
IUnknown* newMesDatabase();
IUnknown* newTraceLog();
IUnknown* newIniFile();

}  // namespace velmora::com
