/* A C99 client of the C interface: proves that velmora/velmora.h compiles as C99 (this file is
   built with -std=c99 -pedantic) and that a C program links and calls the library. */
#include <stdio.h>
#include <string.h>

#include "velmora/velmora.h"

/* Runs one check of `lot` at `step` on `home` and writes "<result> <record count>" into `out`.
   Returns the first non-zero code of the calls, or 0. */
int c_client_check(const char* home, const char* lot, const char* step, char* out, size_t size) {
  velmora_session* session = NULL;
  velmora_result* result = NULL;
  int code = velmora_session_open(home, NULL, &session);
  if (code == VELMORA_OK) code = velmora_check(session, lot, step, &result);
  if (code == VELMORA_OK) {
    snprintf(out, size, "%s %d", velmora_result_text(result), velmora_result_record_count(result));
  } else {
    snprintf(out, size, "%s", velmora_last_error(session));
  }
  velmora_result_free(result);
  velmora_session_close(session);
  return code;
}
