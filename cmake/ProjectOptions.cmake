# Compiler and linker settings for the project's own code.

set(PROJECT_FUZZ OFF CACHE BOOL "Build only the libFuzzer targets (clang, native)")
set(PROJECT_SANITIZE ON CACHE BOOL "AddressSanitizer and UBSan in the native build")

# Texts in the sources are UTF-8; the program's texts are code page 936 bytes.
# Clang accepts only UTF-8 here, so its (fuzzing) builds keep UTF-8 literals.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(PROJECT_CHARSET_FLAGS -finput-charset=UTF-8 -fexec-charset=CP936)
else()
  set(PROJECT_CHARSET_FLAGS)
endif()

# project_code(target): warnings as errors and the shared flags for our own code.
function(project_code target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror ${PROJECT_CHARSET_FLAGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(WIN32)
    target_compile_definitions(${target} PUBLIC _WIN32_WINNT=0x0501 WINVER=0x0501
      WIN32_LEAN_AND_MEAN NOMINMAX __USE_MINGW_ANSI_STDIO=1)
  endif()
endfunction()

if(WIN32)
  # Everything static: the executables need no DLLs beside the system's.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Windows XP loads only images whose OS and subsystem versions are at most 5.1.
  set(PROJECT_XP_LINK_FLAGS
    -Wl,--major-os-version,5 -Wl,--minor-os-version,1
    -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1)
  add_link_options(${PROJECT_XP_LINK_FLAGS} $<$<CONFIG:Release,MinSizeRel>:-s>)
  # -O2 rather than -O3 for the shipped program: the inlining and unrolling
  # -O3 adds make it 5 % larger and gain nothing the benchmark can see.
  string(REPLACE "-O3" "-O2" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")
  string(REPLACE "-O3" "-O2" CMAKE_C_FLAGS_RELEASE "${CMAKE_C_FLAGS_RELEASE}")
  # A release image leaves out the sections of the static libraries that
  # nothing in it reaches.
  add_link_options($<$<CONFIG:Release,MinSizeRel>:-Wl,--gc-sections>)
elseif(PROJECT_FUZZ)
  # Everything is instrumented for coverage; fuzz targets link libFuzzer.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(PROJECT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "" FORCE)
endif()

# Windows test programs run under Wine on a Linux host.
if(WIN32 AND CMAKE_HOST_UNIX)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
  set(PROJECT_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
endif()

# The native build's ctest also runs the tests of the other builds (Windows,
# fuzzing), so that one ctest run (and its summary) covers everything.
set(PROJECT_EXTRA_BUILDS "" CACHE STRING "Build directories whose tests the native ctest includes")
