// The DLL as a COM server: its instance handle, the count of live objects (for
// DllCanUnloadNow), and the type information of its interfaces, read from the type library
// embedded in the DLL.
#pragma once

#include <windows.h>  // before every other Windows header: they need its types

#include <oaidl.h>

#include <string>

namespace velmora::com {

HINSTANCE moduleInstance();
// The full path of the DLL.
std::wstring modulePath();

void objectCreated();
void objectDestroyed();
bool canUnload();
void lockServer(bool lock);

// The type information of interface `iid` (a new reference), or a failure HRESULT.
HRESULT typeInfo(REFIID iid, ITypeInfo** out);

}  // namespace velmora::com
