# The library as layers, each a static, position-independent target of its folders under src/:
#
#   velmora_platform   src/platform                automation values, ADO connections, drivers
#   velmora_common     src/common, src/records     what every check uses; Abnormal and DataSet
#   velmora_checks     src/checks                  the EDC, inspection and SPC checks
#   velmora_check      src/check                   Abnormals and the Execute driver
#   velmora_client     src/client                  the MES client objects, the report, Session
#
# A layer may use only the layers below it, and says which in target_link_libraries. The rule is
# enforced by the include path: a folder is reachable as "<folder>/..." only through its own
# include root (<build>/layers/<folder>, holding a link to src/<folder>), and a layer gets the
# roots of itself and of the layers it links, never src/ as a whole. Including "check/..." from
# src/checks therefore fails to build. The public headers (src/typelib/velmora and the
# generated ones) are visible to every layer.
#
# The includer provides the targets the layers link: SQLite::SQLite3, ODBC::ODBC, PkgConfig::INIH
# and nlohmann_json::nlohmann_json (found on Linux, built or imported for Windows), and gives the
# client layer VELMORA_DEMO_HOME and VELMORA_DEMO_HOME_FROM_LIBDIR (src/client/default_home.cpp).

set(VELMORA_LAYER_ROOTS ${PROJECT_BINARY_DIR}/layers)
set(VELMORA_GENERATED_INCLUDE ${PROJECT_BINARY_DIR}/include)

# The include root of src/<folder>: <build>/layers/<folder>/<folder> -> src/<folder>.
foreach(folder platform common records checks check client cli capi)
  file(MAKE_DIRECTORY ${VELMORA_LAYER_ROOTS}/${folder})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${VELMORA_LAYER_ROOTS}/${folder}/${folder}
       SYMBOLIC)
endforeach()

# Gives `target` the public headers and the include roots of `folders` (for itself only).
function(velmora_include_layers target)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/typelib
                                               ${VELMORA_GENERATED_INCLUDE})
  foreach(folder IN LISTS ARGN)
    target_include_directories(${target} PRIVATE ${VELMORA_LAYER_ROOTS}/${folder})
  endforeach()
endfunction()

# velmora_layer(<name> FOLDERS <folder>...) makes velmora_<name> from src/<folder>/**/*.cpp.
# The layer's own roots are PUBLIC, so that a layer linking it PUBLIC may include its headers.
function(velmora_layer name)
  cmake_parse_arguments(L "" "" "FOLDERS" ${ARGN})
  set(sources)
  foreach(folder IN LISTS L_FOLDERS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  add_library(velmora_${name} STATIC ${sources})
  set_target_properties(velmora_${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_include_directories(velmora_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src/typelib
                                                    ${VELMORA_GENERATED_INCLUDE})
  foreach(folder IN LISTS L_FOLDERS)
    target_include_directories(velmora_${name} PUBLIC ${VELMORA_LAYER_ROOTS}/${folder})
  endforeach()
  target_compile_features(velmora_${name} PUBLIC cxx_std_20)
endfunction()

velmora_layer(platform FOLDERS platform)
target_link_libraries(velmora_platform PRIVATE SQLite::SQLite3 ODBC::ODBC)

velmora_layer(common FOLDERS common records)
target_link_libraries(velmora_common PUBLIC velmora_platform)

velmora_layer(checks FOLDERS checks)
target_link_libraries(velmora_checks PUBLIC velmora_common)

# The driver's headers show common/ types; the checks are its own business.
velmora_layer(check FOLDERS check)
target_link_libraries(velmora_check PUBLIC velmora_common PRIVATE velmora_checks)

# The client objects sit on the platform's connections and drive the check object through its
# public interface only: the check layer is linked, its headers are not reachable.
velmora_layer(client FOLDERS client)
target_link_libraries(velmora_client PUBLIC velmora_platform
  PRIVATE $<LINK_ONLY:velmora_check> PkgConfig::INIH nlohmann_json::nlohmann_json ${CMAKE_DL_LIBS})

set(VELMORA_LAYERS velmora_client velmora_check velmora_checks velmora_common velmora_platform)

# The generated public headers: the version.
configure_file(${PROJECT_SOURCE_DIR}/src/typelib/velmora/version.hpp.in
               ${VELMORA_GENERATED_INCLUDE}/velmora/version.hpp @ONLY)
