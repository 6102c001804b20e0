# Third-party libraries: libjpeg-turbo, libpng and zlib (cross-built for MinGW by
# scripts/deps.sh, from Debian's packages natively) and GoogleTest from Debian's
# sources. Each becomes an imported target: dep::jpeg, dep::png.

if(WIN32)
  set(DEPS_PREFIX "" CACHE PATH "Install prefix of the cross-built JPEG and PNG libraries")
  if(NOT EXISTS "${DEPS_PREFIX}/lib/libpng16.a")
    message(FATAL_ERROR "DEPS_PREFIX (${DEPS_PREFIX}) holds no libpng; run scripts/deps.sh")
  endif()
  set(_zlib "${CMAKE_FIND_ROOT_PATH}/lib/libz.a")
  add_library(dep::zlib STATIC IMPORTED)
  set_target_properties(dep::zlib PROPERTIES IMPORTED_LOCATION "${_zlib}")
  add_library(dep::jpeg STATIC IMPORTED)
  set_target_properties(dep::jpeg PROPERTIES IMPORTED_LOCATION "${DEPS_PREFIX}/lib/libjpeg.a"
    INTERFACE_INCLUDE_DIRECTORIES "${DEPS_PREFIX}/include")
  add_library(dep::png STATIC IMPORTED)
  set_target_properties(dep::png PROPERTIES IMPORTED_LOCATION "${DEPS_PREFIX}/lib/libpng16.a"
    INTERFACE_INCLUDE_DIRECTORIES "${DEPS_PREFIX}/include"
    INTERFACE_LINK_LIBRARIES dep::zlib)
  if(EXISTS "${DEPS_PREFIX}/../versions.txt")
    file(STRINGS "${DEPS_PREFIX}/../versions.txt" _versions)
    string(REPLACE ";" ", " _versions "${_versions}")
    message(STATUS "Dependencies: ${_versions}")
  endif()
else()
  find_package(PNG REQUIRED)
  find_package(JPEG REQUIRED)
  add_library(dep::png INTERFACE IMPORTED)
  target_link_libraries(dep::png INTERFACE PNG::PNG)
  add_library(dep::jpeg INTERFACE IMPORTED)
  target_link_libraries(dep::jpeg INTERFACE JPEG::JPEG)
  message(STATUS "Dependencies: libpng ${PNG_VERSION_STRING}, libjpeg ${JPEG_VERSION}")
endif()

if(BUILD_TESTING AND NOT PROJECT_FUZZ)
  set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  execute_process(COMMAND dpkg-query -W -f=\${Version} googletest
    OUTPUT_VARIABLE _gtest_version ERROR_QUIET)
  message(STATUS "Dependencies: googletest ${_gtest_version}")
endif()
