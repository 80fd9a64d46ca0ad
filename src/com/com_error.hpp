// Failures across the COM boundary.
//
// Outward: a member of our classes that fails hands the caller an automation error, HRESULT
// 0x800A0000 + number (what VB and scripts show as Err.Number = number), with the description
// and source in an IErrorInfo, the same number and description the engine raises on Linux.
// Inward: a host object's call that fails becomes the AutomationError the engine would have seen
// from a host of its own on Linux, so that the check run treats it the same way.
#pragma once

#include <windows.h>  // before every other Windows header: they need its types

#include <oaidl.h>

#include <exception>
#include <string>

#include "velmora/error.hpp"

namespace velmora::com {

// The HRESULT that carries automation error `number` (a negative number is an HRESULT already).
HRESULT hresultOf(std::int32_t number);

// Sets the thread's error info (description, `source`, `iid`) and returns the HRESULT of `error`.
HRESULT report(const AutomationError& error, const wchar_t* source, REFIID iid);

// Runs `body`, turning what it throws into a reported failure.
template <class Body>
HRESULT guarded(const wchar_t* source, REFIID iid, Body&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (const AutomationError& error) {
    return report(error, source, iid);
  } catch (const std::bad_alloc&) {
    return report(AutomationError(7, "Out of memory"), source, iid);
  } catch (const std::exception& error) {
    return report(AutomationError(err::kGenericFailure, error.what()), source, iid);
  } catch (...) {
    return report(AutomationError(err::kGenericFailure, "Unexpected failure"), source, iid);
  }
}

// The failure of a host call (`member` names it) that returned `result`, with `info` filled
// when the result is DISP_E_EXCEPTION.
AutomationError hostFailure(HRESULT result, EXCEPINFO& info, const std::string& member);

}  // namespace velmora::com
