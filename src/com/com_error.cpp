#include "com_error.hpp"

#include "com_text.hpp"

namespace velmora::com {
namespace {

constexpr std::int32_t kObjectLacksMember = 438;
constexpr std::int32_t kWrongArguments = 450;
constexpr std::int32_t kOutOfMemory = 7;

// The automation number inside an HRESULT of the control facility (0x800A....), else 0.
std::int32_t controlNumber(HRESULT result) {
  if (HRESULT_FACILITY(result) == FACILITY_CONTROL && FAILED(result)) {
    return static_cast<std::int32_t>(HRESULT_CODE(result));
  }
  return 0;
}

std::string systemMessage(HRESULT result) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = toUtf8(text, length);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "Automation error" : message;
}

}  // namespace

HRESULT hresultOf(std::int32_t number) {
  if (number < 0) return static_cast<HRESULT>(number);
  if (number > 0 && number <= 0xFFFF) {
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<unsigned>(number));
  }
  return E_FAIL;
}

HRESULT report(const AutomationError& error, const wchar_t* source, REFIID iid) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    const std::wstring description = toWide(error.description());
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(source));
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  return hresultOf(error.number());
}

AutomationError hostFailure(HRESULT result, EXCEPINFO& info, const std::string& member) {
  if (result == DISP_E_EXCEPTION) {
    if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
    std::int32_t number = info.wCode;
    if (number == 0) number = controlNumber(info.scode);
    if (number == 0) number = static_cast<std::int32_t>(info.scode);
    if (number == 0) number = err::kGenericFailure;
    std::string description = toUtf8(info.bstrDescription);
    if (description.empty()) description = describe(number);
    if (description.empty()) description = member + " failed";
    return AutomationError(number, description);
  }
  if (const std::int32_t number = controlNumber(result); number != 0) {
    const std::string text = describe(number);
    return AutomationError(number, text.empty() ? member + " failed" : text);
  }
  switch (result) {
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
      return AutomationError(kObjectLacksMember,
                             "Object doesn't support this property or method: " + member);
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL:
      return AutomationError(kWrongArguments,
                             "Wrong number of arguments or invalid property assignment: " + member);
    case DISP_E_TYPEMISMATCH:
      return AutomationError(err::kTypeMismatch, describe(err::kTypeMismatch) + ": " + member);
    case DISP_E_OVERFLOW:
      return AutomationError(err::kOverflow, describe(err::kOverflow) + ": " + member);
    case E_OUTOFMEMORY:
      return AutomationError(kOutOfMemory, "Out of memory");
    default:
      return AutomationError(static_cast<std::int32_t>(result),
                             systemMessage(result) + " (" + member + ")");
  }
}

}  // namespace velmora::com
