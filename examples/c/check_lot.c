/* Checks a lot at a step through Velmora's C interface and prints what it found.

     cc -std=c99 check_lot.c $(pkg-config --cflags --libs velmora) -o check_lot
     ./check_lot [LOT STEP [HOME]]

   Without arguments: the demo lot LOT-A01 at step S-FQC-100 in the installed demo home. Exit
   status 0 when the check returned "ok", 1 when it returned anything else, 2 when it could not
   run. */
#include <stdio.h>
#include <string.h>
#include <velmora/velmora.h>

int main(int argc, char** argv) {
  const char* lot = argc > 2 ? argv[1] : "LOT-A01";
  const char* step = argc > 2 ? argv[2] : "S-FQC-100";
  const char* home = argc > 3 ? argv[3] : NULL; /* NULL: $VELMORA_HOME, else the demo home */
  velmora_session* session = NULL;
  velmora_result* result = NULL;
  int status = 2;

  if (velmora_session_open(home, NULL, &session) != VELMORA_OK) {
    fprintf(stderr, "check_lot: %s\n", velmora_last_error(NULL));
    return status;
  }
  if (velmora_check(session, lot, step, &result) != VELMORA_OK) {
    fprintf(stderr, "check_lot: %s\n", velmora_last_error(session));
  } else {
    printf("velmora %s, lot %s at %s: result \"%s\", EDC fail %s, inspection fail %s\n",
           velmora_version(), lot, step, velmora_result_text(result),
           velmora_result_flag(result, "IsEDCFail"), velmora_result_flag(result, "IsAUGFail"));
    for (int i = 0; i < velmora_result_record_count(result); ++i) {
      printf("  wafer %-8s %s\n", velmora_result_record_field(result, i, "WaferID"),
             velmora_result_record_field(result, i, "Reasons"));
    }
    status = strcmp(velmora_result_text(result), "ok") == 0 ? 0 : 1;
  }
  velmora_result_free(result);
  velmora_session_close(session);
  return status;
}
