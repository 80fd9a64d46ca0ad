# The shared library `velmora` (Linux): the C interface (src/capi) plus every layer of
# layers.cmake, linked whole so that each exported symbol is in it whether the C interface calls it
# or not.

# The demo home the client layer falls back to: the build's, else the one installed beside the
# library.
file(RELATIVE_PATH VELMORA_DEMO_HOME_FROM_LIBDIR
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/velmora/demo-home)
target_compile_definitions(velmora_client PRIVATE
  VELMORA_DEMO_HOME="${VELMORA_DEMO_HOME}"
  VELMORA_DEMO_HOME_FROM_LIBDIR="${VELMORA_DEMO_HOME_FROM_LIBDIR}")

file(GLOB VELMORA_CAPI_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/capi/*.cpp)
add_library(velmora SHARED ${VELMORA_CAPI_SOURCES})
add_library(Velmora::velmora ALIAS velmora)
velmora_include_layers(velmora capi)
target_include_directories(velmora PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src/typelib>
  $<BUILD_INTERFACE:${VELMORA_GENERATED_INCLUDE}>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
target_compile_features(velmora PUBLIC cxx_std_20)
target_link_libraries(velmora PRIVATE velmora_client)
target_link_options(velmora PRIVATE
  -Wl,--version-script=${PROJECT_SOURCE_DIR}/src/capi/exports.map)
# Every symbol the library needs must be resolved when it is linked, so that a missing
# dependency shows here and not in an integrator's program. Except with clang's sanitizers:
# their runtime is linked into the executable, never into a shared library, and the library's
# calls into it are resolved when the program loads.
if(NOT (VELMORA_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang"))
  target_link_options(velmora PRIVATE -Wl,--no-undefined)
endif()
set_property(TARGET velmora APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/src/capi/exports.map)
foreach(layer IN LISTS VELMORA_LAYERS)
  set_property(TARGET velmora PROPERTY LINK_LIBRARY_OVERRIDE_${layer} WHOLE_ARCHIVE)
endforeach()
# Until 1.0 a minor version may change the ABI, so the minor version is part of the soname.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(VELMORA_SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
else()
  set(VELMORA_SOVERSION ${PROJECT_VERSION_MAJOR})
endif()
set_target_properties(velmora PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${VELMORA_SOVERSION})
