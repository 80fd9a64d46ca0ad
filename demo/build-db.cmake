# cmake -DSQLITE3=<shell> -DDB=<file> -DSQL=<file;file...> -P build-db.cmake
# Feeds the SQL files, in order, to the sqlite3 shell; stops at the first failing statement.
foreach(_f IN LISTS SQL)
  execute_process(COMMAND ${SQLITE3} -bail ${DB} INPUT_FILE ${_f} RESULT_VARIABLE _rc ERROR_VARIABLE _err)
  if(NOT _rc EQUAL 0)
    file(REMOVE ${DB})
    message(FATAL_ERROR "building ${DB} from ${_f} failed: ${_err}")
  endif()
endforeach()
