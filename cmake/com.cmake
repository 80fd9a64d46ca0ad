# velmora.dll, the COM in-process server (src/com/) over the library's layers: the type library
# compiled by widl from src/com/velmora.idl and embedded as a resource, the exports of
# src/com/velmora.def, everything linked statically so that the DLL imports system DLLs only.

# widl's outputs: the interfaces' header, their GUIDs and the type library.
set(VELMORA_COM_GENERATED ${PROJECT_BINARY_DIR}/com)
file(MAKE_DIRECTORY ${VELMORA_COM_GENERATED})
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_widl_arch --win64)
else()
  set(_widl_arch --win32)
endif()
# widl imports stdole2.tlb from Wine's Windows-side libraries; its content is the same for both
# architectures, and a 64-bit-only Wine has the x86_64 copy alone.
find_path(VELMORA_STDOLE2_DIR stdole2.tlb NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH
  PATHS /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
find_path(VELMORA_WINE_IDL_DIR oaidl.idl NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH
  PATHS /usr/include/wine/wine/windows)
if(NOT VELMORA_STDOLE2_DIR OR NOT VELMORA_WINE_IDL_DIR)
  message(FATAL_ERROR "widl needs Wine's stdole2.tlb and oaidl.idl: install wine64 and "
                      "libwine-dev (scripts/setup.sh)")
endif()
set(_idl ${PROJECT_SOURCE_DIR}/src/com/velmora.idl)
set(_widl ${VELMORA_WIDL} ${_widl_arch} -I${VELMORA_WINE_IDL_DIR} -L${VELMORA_STDOLE2_DIR})
add_custom_command(
  OUTPUT ${VELMORA_COM_GENERATED}/velmora_h.h ${VELMORA_COM_GENERATED}/velmora_i.c
         ${VELMORA_COM_GENERATED}/velmora.tlb
  COMMAND ${_widl} -h -o ${VELMORA_COM_GENERATED}/velmora_h.h ${_idl}
  COMMAND ${_widl} -u -o ${VELMORA_COM_GENERATED}/velmora_i.c ${_idl}
  COMMAND ${_widl} -t -o ${VELMORA_COM_GENERATED}/velmora.tlb ${_idl}
  DEPENDS ${_idl}
  COMMENT "widl: velmora_h.h, velmora_i.c, velmora.tlb"
  VERBATIM)

file(GLOB VELMORA_COM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/com/*.cpp)
add_library(velmora SHARED ${VELMORA_COM_SOURCES} ${VELMORA_COM_GENERATED}/velmora_i.c
                           ${PROJECT_SOURCE_DIR}/src/com/velmora.rc
                           ${PROJECT_SOURCE_DIR}/src/com/velmora.def)
# velmora.rc embeds velmora.tlb, found on windres' include path.
set_source_files_properties(${PROJECT_SOURCE_DIR}/src/com/velmora.rc PROPERTIES
  OBJECT_DEPENDS ${VELMORA_COM_GENERATED}/velmora.tlb)
# velmora.dll, not libvelmora.dll, at the top of the build tree.
set_target_properties(velmora PROPERTIES PREFIX "" OUTPUT_NAME velmora
  RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
target_include_directories(velmora PRIVATE ${PROJECT_SOURCE_DIR}/src/com ${VELMORA_COM_GENERATED})
# Like the C interface, the server is a host of the engine: the public headers and the platform
# and client layers' (the check internals stay out of reach).
velmora_include_layers(velmora platform common records client)
target_link_libraries(velmora PRIVATE ${VELMORA_LAYERS}
  oleaut32 ole32 uuid advapi32 odbc32)
# Static C and C++ runtimes and winpthread: no mingw DLL to ship beside it. The exports keep the
# undecorated names of velmora.def on x86 (stdcall). A release DLL ships stripped.
target_link_options(velmora PRIVATE -static -static-libgcc -static-libstdc++
  -Wl,--kill-at,--enable-stdcall-fixup $<$<CONFIG:Release>:-s>)
