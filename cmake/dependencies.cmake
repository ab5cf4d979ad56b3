# zlib, minizip's unzip (and zip, for test fixtures), dlib's directory
# navigation and libsodium, gathered in the interface target update_deps.
#
# minizip is compiled on both lanes from the zlib source package that
# scripts/setup unpacks: Debian's libminizip 1.1 reads the 4294967295
# placeholder instead of the ZIP64 sizes and offsets on 64-bit Linux, so
# entries over 4 GiB would fail there. zlib comes from Debian's package on
# Linux and from MinGW-w64's on Windows, linked in on both. dlib's directory navigation is compiled from
# its source package on both lanes: the shared libdlib.so would bring BLAS,
# LAPACK, gfortran, libpng and libjpeg into the updater's run time.
add_library(update_deps INTERFACE)

if(DEFINED ENV{UPDATE_DEPS_DIR})
  set(deps_default $ENV{UPDATE_DEPS_DIR})
else()
  set(deps_default $ENV{HOME}/.cache/update-deps)
endif()
set(UPDATE_DEPS_DIR ${deps_default} CACHE PATH "Where scripts/setup unpacked the dependency sources")
# Its path stays out of the programs, as the source tree's (reproducible.cmake).
add_compile_options(-ffile-prefix-map=${UPDATE_DEPS_DIR}=/usr/src/update-deps)

set(minizip_dir ${UPDATE_DEPS_DIR}/zlib-src/contrib/minizip)
set(dlib_dir ${UPDATE_DEPS_DIR}/dlib-src)
# dlib's kernel 1 is its Windows directory navigation, kernel 2 the POSIX one.
set(dlib_dir_nav_kernel ${dlib_dir}/dlib/dir_nav/dir_nav_kernel_2.cpp)
if(WIN32)
  set(dlib_dir_nav_kernel ${dlib_dir}/dlib/dir_nav/dir_nav_kernel_1.cpp)
endif()
set(required_sources ${minizip_dir}/unzip.c ${dlib_dir_nav_kernel})
foreach(required ${required_sources})
  if(NOT EXISTS ${required})
    message(FATAL_ERROR "${required} is missing: run scripts/setup first")
  endif()
endforeach()

# zlib's unzip.c defines NOUNCRYPT unconditionally, which makes every
# password fail with UNZ_PARAMERROR. The build compiles a copy without that
# forced define, so entries with traditional encryption can be decrypted.
file(READ ${minizip_dir}/unzip.c unzip_text)
set(forced_nouncrypt "#ifndef NOUNCRYPT\n        #define NOUNCRYPT\n#endif\n")
string(FIND "${unzip_text}" "${forced_nouncrypt}" forced_at)
if(forced_at EQUAL -1)
  message(FATAL_ERROR "${minizip_dir}/unzip.c: the forced NOUNCRYPT block was not found")
endif()
string(REPLACE "${forced_nouncrypt}" "" unzip_text "${unzip_text}")
set(decrypting_unzip ${CMAKE_BINARY_DIR}/minizip/unzip.c)
file(CONFIGURE OUTPUT ${decrypting_unzip} CONTENT "${unzip_text}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${minizip_dir}/unzip.c)

set(minizip_sources ${decrypting_unzip} ${minizip_dir}/zip.c ${minizip_dir}/ioapi.c)
if(WIN32)
  list(APPEND minizip_sources ${minizip_dir}/iowin32.c)
endif()
add_library(minizip STATIC ${minizip_sources})
target_include_directories(minizip SYSTEM PUBLIC ${minizip_dir})
set_target_properties(minizip PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(update_deps INTERFACE minizip)

add_library(dlib_dir_nav STATIC ${dlib_dir_nav_kernel})
target_include_directories(dlib_dir_nav SYSTEM PUBLIC ${dlib_dir})
target_compile_definitions(dlib_dir_nav PUBLIC DLIB_NO_GUI_SUPPORT)
set_target_properties(dlib_dir_nav PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(update_deps INTERFACE dlib_dir_nav)

# libsodium, for the signature check's Ed25519 and BLAKE2b: on Linux Debian's
# static archive for the static program (the sanitizer and fuzz builds take
# the shared library, as with zlib); on Windows the minimal static build that
# scripts/setup makes from Debian's source package with the MinGW compiler.
add_library(sodium INTERFACE)
if(WIN32)
  set(sodium_dir ${UPDATE_DEPS_DIR}/libsodium-mingw-i686)
  if(NOT EXISTS ${sodium_dir}/lib/libsodium.a)
    message(FATAL_ERROR "${sodium_dir}/lib/libsodium.a is missing: run scripts/setup first")
  endif()
  target_include_directories(sodium SYSTEM INTERFACE ${sodium_dir}/include)
  target_compile_definitions(sodium INTERFACE SODIUM_STATIC)
  target_link_libraries(sodium INTERFACE ${sodium_dir}/lib/libsodium.a)
elseif(UPDATE_SANITIZE OR UPDATE_FUZZ)
  find_library(SODIUM_LIBRARY NAMES sodium REQUIRED)
  target_link_libraries(sodium INTERFACE ${SODIUM_LIBRARY})
else()
  find_library(SODIUM_STATIC_LIBRARY NAMES libsodium.a REQUIRED)
  target_link_libraries(sodium INTERFACE ${SODIUM_STATIC_LIBRARY})
endif()
target_link_libraries(update_deps INTERFACE sodium)

if(NOT WIN32)
  # zlib's static archive, for the shipped program, which is static
  # (shipping.cmake); the sanitizer and fuzz builds keep the shared library
  # that their own runtimes are built against.
  find_package(ZLIB REQUIRED)
  if(UPDATE_SANITIZE OR UPDATE_FUZZ)
    target_link_libraries(minizip PUBLIC ZLIB::ZLIB)
    return()
  endif()
  find_library(ZLIB_STATIC_LIBRARY NAMES libz.a REQUIRED)
  target_include_directories(minizip SYSTEM PUBLIC ${ZLIB_INCLUDE_DIRS})
  target_link_libraries(minizip PUBLIC ${ZLIB_STATIC_LIBRARY})
  return()
endif()

# The static zlib, named by its full path so that no import library can be
# picked instead: a zlib1.dll beside the updater could be replaced by an
# update archive that ships one, and every later run would fail to start.
find_path(ZLIB_INCLUDE_DIR zlib.h REQUIRED)
find_library(ZLIB_STATIC_LIBRARY NAMES libz.a REQUIRED)
target_include_directories(minizip SYSTEM PUBLIC ${ZLIB_INCLUDE_DIR})
target_link_libraries(minizip PUBLIC ${ZLIB_STATIC_LIBRARY})

# C++ runtime and winpthread linked in too: update.exe needs only Windows' own DLLs.
add_link_options(-static)
