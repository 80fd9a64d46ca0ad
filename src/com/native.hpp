// The private interface by which the server recognises its own objects when a host hands them
// back (a Velmora.MesDatabase set as MESDB, a Velmora.IniFile created by ProgID): the engine then
// uses the object itself instead of calling it late-bound through automation.
#pragma once

#include <windows.h>  // before every other Windows header: they need its types

#include <unknwn.h>

#include <memory>

#include "velmora/object.hpp"

namespace velmora::com {

// {7c8341d8-ec71-4cd0-9148-2177cc45589e}; never registered, known only inside this DLL.
inline constexpr IID kIidNative = {
    0x7c8341d8, 0xec71, 0x4cd0, {0x91, 0x48, 0x21, 0x77, 0xcc, 0x45, 0x58, 0x9e}};

struct Native : IUnknown {
  // The engine object behind the COM object (null when it has none yet, such as a
  // Velmora.MesDatabase that was never opened).
  virtual std::shared_ptr<Object> STDMETHODCALLTYPE native() = 0;
};

// The engine object of `object` when it is one of ours, else null.
std::shared_ptr<Object> nativeOf(IUnknown* object);

}  // namespace velmora::com
