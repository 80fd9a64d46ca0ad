/* velmora.h: the C interface of Velmora, for MES clients in C and in any language that calls C
   (Python's ctypes, Java's FFM or JNA, .NET's P/Invoke).

     velmora_session* session = NULL;
     velmora_result* result = NULL;
     if (velmora_session_open(NULL, NULL, &session) != VELMORA_OK) {
       fprintf(stderr, "%s\n", velmora_last_error(NULL));
     } else if (velmora_check(session, "LOT-A01", "S-FQC-100", &result) != VELMORA_OK) {
       fprintf(stderr, "%s\n", velmora_last_error(session));
     } else {
       printf("%s\n", velmora_result_json(result));
       velmora_result_free(result);
     }
     velmora_session_close(session);

   C99. Handles are opaque. Every text in either direction is UTF-8 and NUL-terminated; a text
   the library returns stays valid until its handle is freed (or, for velmora_last_error, until
   the next call with the same session, or on the same thread for NULL). Nothing is thrown across
   this interface: every failure is a return code. A NULL where a handle or text is required is
   VELMORA_ERROR_ARGUMENT (functions returning a text return NULL), never a crash.

   Threads: a session is used by one thread at a time; different sessions run checks on
   different threads at the same time. */
#ifndef VELMORA_VELMORA_H
#define VELMORA_VELMORA_H

#include "velmora/export.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct velmora_session velmora_session;
typedef struct velmora_result velmora_result;

/* Return codes. */
#define VELMORA_OK 0
#define VELMORA_ERROR_ARGUMENT 1 /* a required argument was NULL */
#define VELMORA_ERROR_CONFIG 2   /* the home's configuration, the MES database or a file failed */
#define VELMORA_ERROR_INPUT 3    /* the lot or step did not validate: nothing ran */
#define VELMORA_ERROR_MEMORY 4   /* out of memory */
#define VELMORA_ERROR_INTERNAL 5 /* an unexpected failure, described by velmora_last_error */

/* The library's version, "MAJOR.MINOR.PATCH". */
VELMORA_EXPORT const char* velmora_version(void);

/* Opens a session. home: a folder holding INI/MESconfig.ini, or NULL for $VELMORA_HOME, else the
   installed demo home. mes_uri: NULL (or "") for [MESDB] Connection, or "sqlite:<path>" (relative
   to the home) / "odbc:<ODBC connection string>" overriding it. On success *out is the session
   and the result is VELMORA_OK; otherwise *out is NULL (when out is not NULL), the result is
   non-zero and velmora_last_error(NULL) names the file, key or URI at fault. */
VELMORA_EXPORT int velmora_session_open(const char* home, const char* mes_uri,
                                        velmora_session** out);

/* Closes the session and its MES database. NULL is ignored. */
VELMORA_EXPORT void velmora_session_close(velmora_session* session);

/* Appends the component's trace entries to the file at `path` from the next check on ("-":
   standard error); NULL stops tracing. VELMORA_ERROR_CONFIG when the file cannot be opened, and
   when it is the session's configuration file or one of its SQLite databases (the same file by
   device and inode, whatever the path), which a trace would damage. */
VELMORA_EXPORT int velmora_session_trace(velmora_session* session, const char* path);

/* Runs one check of `lot` at `step` with a fresh check object. VELMORA_OK when the check ran,
   whatever its result ("ok", "SqlFail" or ""): *out is then the result, to be freed with
   velmora_result_free. VELMORA_ERROR_INPUT when the lot or step is empty (nothing ran; the error
   text lists what is missing). On any failure *out is NULL and velmora_last_error(session) says
   why. */
VELMORA_EXPORT int velmora_check(velmora_session* session, const char* lot, const char* step,
                                 velmora_result** out);

/* What the check run returned: "ok", "SqlFail" (the inspection database could not be opened) or
   "" (the database could not answer, or an unexpected failure: see velmora_result_error). */
VELMORA_EXPORT const char* velmora_result_text(const velmora_result* result);

/* The JSON object that `velmora check --format json` prints for the same run (without the final
   newline): lot, step, result, flags, LotDevReasons, TimeVersionSysid and records. */
VELMORA_EXPORT const char* velmora_result_json(const velmora_result* result);

/* A flag by name ("IsEDCItem", "IsEDCCollect", "IsEDCFail", "IsAUGItem", "IsAUGCollect",
   "IsAUGFail"): "Y" or "N"; NULL for another name. */
VELMORA_EXPORT const char* velmora_result_flag(const velmora_result* result, const char* name);

/* The lot-level reasons ("item/code" entries joined by ",") and the time version's SYSID. */
VELMORA_EXPORT const char* velmora_result_lot_reasons(const velmora_result* result);
VELMORA_EXPORT const char* velmora_result_time_version(const velmora_result* result);

/* The number of records (-1 for NULL), and a field of the record at `index` (from 0) by name
   ("ItemName", "CollectType", "WaferID", "WaferSEQ", "EQPID", "TA", "WaferYield", "LotYield",
   "Reasons"); NULL for an index out of range or another name. */
VELMORA_EXPORT int velmora_result_record_count(const velmora_result* result);
VELMORA_EXPORT const char* velmora_result_record_field(const velmora_result* result, int index,
                                                       const char* field);

/* For a result other than "ok", a field of the failure that ended the run: "procedure" (where it
   happened, e.g. "getStation"), "number" (the error number as decimal text), "description",
   "kind" ("no-answer", "inspection-login" or "unexpected") and "statement" (the failed
   statement, "" when none). NULL when the run ended "ok" and for another field name. The JSON
   carries the same as its "error" object. */
VELMORA_EXPORT const char* velmora_result_error(const velmora_result* result, const char* field);

/* Frees a result. NULL is ignored. */
VELMORA_EXPORT void velmora_result_free(velmora_result* result);

/* Why the last call failed ("" when it succeeded: every successful call clears it). With a
   session: that session's last call. With NULL: the calling thread's last call that had no
   session to keep its failure, velmora_session_open or a call with a NULL session. */
VELMORA_EXPORT const char* velmora_last_error(const velmora_session* session);

#ifdef __cplusplus
}
#endif

#endif
