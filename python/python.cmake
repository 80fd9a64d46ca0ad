# The Python module `velmora` (ctypes over the C interface, standard library only).
#
# Build tree: <build>/python/velmora, found with PYTHONPATH=<build>/python; it loads the build's
# library. Installed: <prefix>/${VELMORA_PYTHON_INSTALL_DIR}/velmora, which Debian's python3 finds
# for the prefix /usr, and with PYTHONPATH=<prefix>/${VELMORA_PYTHON_INSTALL_DIR} for any other; it
# loads the library installed with it, by the relative path from the package to <prefix>/<libdir>.
set(VELMORA_PYTHON_INSTALL_DIR lib/python3/dist-packages CACHE STRING
    "Where `cmake --install` puts the Python module, relative to the prefix")

set(_py_src ${PROJECT_SOURCE_DIR}/python/velmora)
set(_py_build ${PROJECT_BINARY_DIR}/python/velmora)
set(VELMORA_PYTHON_MODULES __init__.py _library.py)
foreach(module IN LISTS VELMORA_PYTHON_MODULES)
  configure_file(${_py_src}/${module} ${_py_build}/${module} COPYONLY)
endforeach()

set(_soname libvelmora.so.${VELMORA_SOVERSION})
file(RELATIVE_PATH _library_from_package
     ${CMAKE_INSTALL_PREFIX}/${VELMORA_PYTHON_INSTALL_DIR}/velmora
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/${_soname})
set(_paths_template [=[
"""Where this copy of the module finds libvelmora (written by the build)."""
VERSION = "@PROJECT_VERSION@"
LIBRARY_NAME = "@_soname@"
BUILD_LIBRARY = @_build_library@
LIBRARY_FROM_PACKAGE = "@_library_from_package@"
]=])
set(_build_library "\"$<TARGET_FILE_DIR:velmora>/${_soname}\"")
string(CONFIGURE "${_paths_template}" _paths_build @ONLY)
file(GENERATE OUTPUT ${_py_build}/_paths.py CONTENT "${_paths_build}")
set(_build_library None)
string(CONFIGURE "${_paths_template}" _paths_installed @ONLY)
file(WRITE ${PROJECT_BINARY_DIR}/python-install/_paths.py "${_paths_installed}")

list(TRANSFORM VELMORA_PYTHON_MODULES PREPEND ${_py_src}/ OUTPUT_VARIABLE _py_installed)
install(FILES ${_py_installed} ${PROJECT_BINARY_DIR}/python-install/_paths.py
  DESTINATION ${VELMORA_PYTHON_INSTALL_DIR}/velmora)
