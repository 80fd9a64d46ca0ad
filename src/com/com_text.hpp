// Texts across the COM boundary: the engine's texts are UTF-8, automation's are BSTRs (UTF-16).
#pragma once

#include <windows.h>  // before every other Windows header: they need its types

#include <oleauto.h>

#include <string>

namespace velmora::com {

// A UTF-16 text as UTF-8 (null gives ""). Unpaired surrogates become U+FFFD.
std::string toUtf8(const wchar_t* text, std::size_t length);
std::string toUtf8(BSTR text);
std::string toUtf8(const std::wstring& text);

// A UTF-8 text as UTF-16; invalid bytes become U+FFFD.
std::wstring toWide(const std::string& text);

// A new BSTR holding `text` (the caller owns it). Throws std::bad_alloc when none can be made.
BSTR toBstr(const std::string& text);

}  // namespace velmora::com
