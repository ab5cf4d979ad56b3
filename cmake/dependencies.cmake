# zlib, minizip's unzip (and zip, for test fixtures) and dlib's directory
# navigation, gathered in the interface target update_deps.
#
# minizip is compiled on both lanes from the zlib source package that
# scripts/setup unpacks: Debian's libminizip 1.1 reads the 4294967295
# placeholder instead of the ZIP64 sizes and offsets on 64-bit Linux, so
# entries over 4 GiB would fail there. zlib and dlib come from Debian's
# packages on Linux; on Windows zlib comes from MinGW-w64's package (the
# program ships its zlib1.dll) and dlib's directory navigation is compiled
# from its source package.
add_library(update_deps INTERFACE)

if(DEFINED ENV{UPDATE_DEPS_DIR})
  set(deps_default $ENV{UPDATE_DEPS_DIR})
else()
  set(deps_default $ENV{HOME}/.cache/update-deps)
endif()
set(UPDATE_DEPS_DIR ${deps_default} CACHE PATH "Where scripts/setup unpacked the dependency sources")

set(minizip_dir ${UPDATE_DEPS_DIR}/zlib-src/contrib/minizip)
set(dlib_dir ${UPDATE_DEPS_DIR}/dlib-src)
set(required_sources ${minizip_dir}/unzip.c)
if(WIN32)
  list(APPEND required_sources ${dlib_dir}/dlib/dir_nav/dir_nav_kernel_1.cpp)
endif()
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

if(NOT WIN32)
  find_package(ZLIB REQUIRED)
  find_package(dlib REQUIRED)
  target_link_libraries(minizip PUBLIC ZLIB::ZLIB)
  target_link_libraries(update_deps INTERFACE dlib::dlib)
  return()
endif()

# The import library, named by its full path so that -static cannot swap in
# the static zlib: the program loads zlib1.dll.
find_path(ZLIB_INCLUDE_DIR zlib.h REQUIRED)
find_library(ZLIB_IMPORT_LIBRARY NAMES libz.dll.a REQUIRED)
get_filename_component(zlib_lib_dir ${ZLIB_IMPORT_LIBRARY} DIRECTORY)
find_file(ZLIB_DLL zlib1.dll HINTS ${zlib_lib_dir} ${zlib_lib_dir}/../bin NO_CMAKE_FIND_ROOT_PATH REQUIRED)
target_include_directories(minizip SYSTEM PUBLIC ${ZLIB_INCLUDE_DIR})
target_link_libraries(minizip PUBLIC ${ZLIB_IMPORT_LIBRARY})

add_library(dlib_dir_nav STATIC ${dlib_dir}/dlib/dir_nav/dir_nav_kernel_1.cpp)
target_include_directories(dlib_dir_nav SYSTEM PUBLIC ${dlib_dir})
target_compile_definitions(dlib_dir_nav PUBLIC DLIB_NO_GUI_SUPPORT)
target_link_libraries(update_deps INTERFACE dlib_dir_nav)

# C++ runtime and winpthread linked in; zlib stays a DLL beside every program.
add_link_options(-static)
file(COPY ${ZLIB_DLL} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
