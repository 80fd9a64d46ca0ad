# Installation: the library, its headers (include/velmora/), the command, the demo home, and how
# other builds find the library: a CMake package (find_package(Velmora 0.2 CONFIG) gives
# Velmora::velmora) and a pkg-config file (velmora.pc). Both are relocatable: they locate the
# prefix from where they are installed, so `cmake --install build --prefix DIR` works for any DIR.
include(CMakePackageConfigHelpers)

set(VELMORA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Velmora)

install(TARGETS velmora EXPORT VelmoraTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS velmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY src/typelib/velmora DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  PATTERN "*.in" EXCLUDE)
install(FILES ${VELMORA_GENERATED_INCLUDE}/velmora/version.hpp
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velmora)
install(DIRECTORY ${VELMORA_DEMO_HOME}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora/demo-home)

install(EXPORT VelmoraTargets NAMESPACE Velmora:: DESTINATION ${VELMORA_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VelmoraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/VelmoraConfig.cmake INSTALL_DESTINATION ${VELMORA_CMAKE_DIR})
# Until 1.0 only the same minor version promises the same interface.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(_compatibility SameMinorVersion)
else()
  set(_compatibility SameMajorVersion)
endif()
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake
  COMPATIBILITY ${_compatibility})
install(FILES ${PROJECT_BINARY_DIR}/VelmoraConfig.cmake
              ${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake
  DESTINATION ${VELMORA_CMAKE_DIR})

# velmora.pc: the prefix is found from the file's own folder (<prefix>/<libdir>/pkgconfig).
# Its Libs carry the library's folder as the program's run path too, so that a C program built
# with `pkg-config --libs velmora` finds libvelmora wherever the prefix is, without
# LD_LIBRARY_PATH.
file(RELATIVE_PATH VELMORA_PC_TO_PREFIX ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" VELMORA_PC_TO_PREFIX "${VELMORA_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/velmora.pc.in ${PROJECT_BINARY_DIR}/velmora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/velmora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
