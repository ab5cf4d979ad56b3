# zlib, minizip's unzip (and zip, for test fixtures) and dlib's directory
# navigation, gathered in the interface target update_deps.
# Linux: Debian's packages. Windows: zlib from MinGW-w64's package (the program
# ships its zlib1.dll), minizip and dlib compiled here from the Debian source
# packages that scripts/setup unpacks.
add_library(update_deps INTERFACE)

if(NOT WIN32)
  find_package(ZLIB REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
  find_package(dlib REQUIRED)
  target_link_libraries(update_deps INTERFACE PkgConfig::MINIZIP ZLIB::ZLIB dlib::dlib)
  return()
endif()

if(DEFINED ENV{UPDATE_DEPS_DIR})
  set(deps_default $ENV{UPDATE_DEPS_DIR})
else()
  set(deps_default $ENV{HOME}/.cache/update-deps)
endif()
set(UPDATE_DEPS_DIR ${deps_default} CACHE PATH "Where scripts/setup unpacked the dependency sources")

set(minizip_dir ${UPDATE_DEPS_DIR}/zlib-src/contrib/minizip)
set(dlib_dir ${UPDATE_DEPS_DIR}/dlib-src)
foreach(required ${minizip_dir}/unzip.c ${dlib_dir}/dlib/dir_nav/dir_nav_kernel_1.cpp)
  if(NOT EXISTS ${required})
    message(FATAL_ERROR "${required} is missing: run scripts/setup first")
  endif()
endforeach()

# The import library, named by its full path so that -static cannot swap in
# the static zlib: the program loads zlib1.dll.
find_path(ZLIB_INCLUDE_DIR zlib.h REQUIRED)
find_library(ZLIB_IMPORT_LIBRARY NAMES libz.dll.a REQUIRED)
get_filename_component(zlib_lib_dir ${ZLIB_IMPORT_LIBRARY} DIRECTORY)
find_file(ZLIB_DLL zlib1.dll HINTS ${zlib_lib_dir} ${zlib_lib_dir}/../bin NO_CMAKE_FIND_ROOT_PATH REQUIRED)

add_library(minizip STATIC
  ${minizip_dir}/unzip.c ${minizip_dir}/zip.c
  ${minizip_dir}/ioapi.c ${minizip_dir}/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${minizip_dir} ${ZLIB_INCLUDE_DIR})
target_link_libraries(minizip PUBLIC ${ZLIB_IMPORT_LIBRARY})

add_library(dlib_dir_nav STATIC ${dlib_dir}/dlib/dir_nav/dir_nav_kernel_1.cpp)
target_include_directories(dlib_dir_nav SYSTEM PUBLIC ${dlib_dir})
target_compile_definitions(dlib_dir_nav PUBLIC DLIB_NO_GUI_SUPPORT)

target_link_libraries(update_deps INTERFACE minizip dlib_dir_nav)

# C++ runtime and winpthread linked in; zlib stays a DLL beside every program.
add_link_options(-static)
file(COPY ${ZLIB_DLL} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
