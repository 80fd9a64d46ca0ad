// The C interface's sessions and checks. Every function catches everything at the boundary and
// turns it into a return code and an error text; nothing is thrown across it.
#include <exception>
#include <iostream>
#include <memory>
#include <new>

#include "capi/handles.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"
#include "velmora/version.hpp"

namespace {

// The error text of failures that have no session to keep it (velmora_last_error(NULL)). One per
// thread, so that workers opening sessions at the same time do not see each other's failures.
thread_local std::string threadError;

// Records `text` where velmora_last_error will find it; never throws.
void recordError(velmora_session* session, const char* text) noexcept {
  try {
    (session != nullptr ? session->lastError : threadError) = text;
  } catch (...) {
    // Out of memory while keeping the text: the code says enough.
  }
}

int fail(velmora_session* session, int code, const char* text) noexcept {
  recordError(session, text);
  return code;
}

// Runs `body` (which returns VELMORA_OK or a code); an exception becomes the code of its kind:
// InputError VELMORA_ERROR_INPUT, another AutomationError `automationCode`, out of memory
// VELMORA_ERROR_MEMORY, anything else VELMORA_ERROR_INTERNAL. Success clears the error text, so
// that velmora_last_error never names a failure older than the last call.
template <class Body>
int guarded(velmora_session* session, int automationCode, Body&& body) noexcept {
  try {
    const int code = body();
    if (code == VELMORA_OK) (session != nullptr ? session->lastError : threadError).clear();
    return code;
  } catch (const velmora::InputError& e) {
    return fail(session, VELMORA_ERROR_INPUT, e.description().c_str());
  } catch (const velmora::AutomationError& e) {
    return fail(session, automationCode, e.description().c_str());
  } catch (const std::bad_alloc&) {
    return fail(session, VELMORA_ERROR_MEMORY, "out of memory");
  } catch (const std::exception& e) {
    return fail(session, VELMORA_ERROR_INTERNAL, e.what());
  } catch (...) {
    return fail(session, VELMORA_ERROR_INTERNAL, "an unknown failure");
  }
}

}  // namespace

extern "C" {

const char* velmora_version(void) {
  return VELMORA_VERSION_STRING;
}

int velmora_session_open(const char* home, const char* mes_uri, velmora_session** out) {
  if (out == nullptr)
    return fail(nullptr, VELMORA_ERROR_ARGUMENT, "velmora_session_open: out is NULL");
  *out = nullptr;
  return guarded(nullptr, VELMORA_ERROR_CONFIG, [&] {
    const std::string folder = home != nullptr ? std::string(home) : velmora::defaultHome();
    *out = new velmora_session(folder, mes_uri != nullptr ? mes_uri : "");
    return VELMORA_OK;
  });
}

void velmora_session_close(velmora_session* session) {
  delete session;
}

int velmora_session_trace(velmora_session* session, const char* path) {
  if (session == nullptr) {
    return fail(nullptr, VELMORA_ERROR_ARGUMENT, "velmora_session_trace: session is NULL");
  }
  return guarded(session, VELMORA_ERROR_CONFIG, [&] {
    const std::string target = path != nullptr ? path : "";
    if (target != "-") {
      if (const std::string file = velmora::inputFileAt(target, session->config, session->mesUri);
          !file.empty()) {
        return fail(session, VELMORA_ERROR_CONFIG,
                    ("velmora_session_trace: '" + target + "' is the configured file '" + file +
                     "', which the session only reads; name another file for the trace")
                        .c_str());
      }
    }
    session->session.setTrace(velmora::openTrace(target, std::cerr));
    return VELMORA_OK;
  });
}

int velmora_check(velmora_session* session, const char* lot, const char* step,
                  velmora_result** out) {
  if (out != nullptr) *out = nullptr;
  if (session == nullptr)
    return fail(nullptr, VELMORA_ERROR_ARGUMENT, "velmora_check: session is NULL");
  if (lot == nullptr || step == nullptr || out == nullptr) {
    return fail(session, VELMORA_ERROR_ARGUMENT,
                "velmora_check: lot, step and out must not be NULL");
  }
  return guarded(session, VELMORA_ERROR_INTERNAL, [&] {
    *out = new velmora_result(session->session.check(lot, step));
    return VELMORA_OK;
  });
}

const char* velmora_last_error(const velmora_session* session) {
  return session != nullptr ? session->lastError.c_str() : threadError.c_str();
}

}  // extern "C"
