# Builds the demo home in the build tree: INI/MESconfig.ini copied from the repo and the MES and
# inspection SQLite databases built from the schema and seed SQL (never committed as binaries).
find_program(SQLITE3_SHELL sqlite3 REQUIRED)

set(VELMORA_DEMO_HOME ${PROJECT_BINARY_DIR}/demo-home)
set(_demo_src ${PROJECT_SOURCE_DIR}/demo)

function(velmora_demo_database name)
  set(_db ${VELMORA_DEMO_HOME}/${name}.db)
  set(_sql)
  foreach(_part schema seed)
    # A database without its seed file yet (a fresh schema being written) builds empty.
    if(EXISTS ${_demo_src}/sql/${name}-${_part}.sql)
      list(APPEND _sql ${_demo_src}/sql/${name}-${_part}.sql)
    endif()
  endforeach()
  add_custom_command(
    OUTPUT ${_db}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORA_DEMO_HOME}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${_db}
    COMMAND ${CMAKE_COMMAND} -DSQLITE3=${SQLITE3_SHELL} -DDB=${_db} "-DSQL=${_sql}"
            -P ${_demo_src}/build-db.cmake
    DEPENDS ${_sql} ${_demo_src}/build-db.cmake
    COMMENT "Building demo database ${name}.db"
    VERBATIM)
  set(VELMORA_DEMO_OUTPUTS ${VELMORA_DEMO_OUTPUTS} ${_db} PARENT_SCOPE)
endfunction()

velmora_demo_database(mes)
velmora_demo_database(inspection)

add_custom_command(
  OUTPUT ${VELMORA_DEMO_HOME}/INI/MESconfig.ini
  COMMAND ${CMAKE_COMMAND} -E copy ${_demo_src}/INI/MESconfig.ini ${VELMORA_DEMO_HOME}/INI/MESconfig.ini
  DEPENDS ${_demo_src}/INI/MESconfig.ini
  VERBATIM)

add_custom_target(velmora-demo ALL
  DEPENDS ${VELMORA_DEMO_OUTPUTS} ${VELMORA_DEMO_HOME}/INI/MESconfig.ini)
