# The update program as it ships: on Windows its manifest and version
# resource; on Linux one static program; in release builds stripped, its
# debug information kept beside it.

set(UPDATE_SPLIT_DEBUG_INFO OFF)
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo)$")
  set(UPDATE_SPLIT_DEBUG_INFO ON)
endif()

# On Linux the shipped program is static, so it starts on any distribution
# whatever the version of its C library (its ELF note asks for Linux 3.2).
# glibc links C++ with threads statically only as -static-pie; nothing on
# the update run loads a module at run time (no name service, no iconv). A
# static program ignores LD_PRELOAD, so the tests that preload a library
# into the updater drive a dynamically linked build of the same sources
# (UPDATE_PRELOADABLE_PROGRAM). The sanitizer and fuzz builds stay dynamic.
set(UPDATE_STATIC_PROGRAM OFF)
if(NOT WIN32 AND NOT UPDATE_SANITIZE AND NOT UPDATE_FUZZ)
  set(UPDATE_STATIC_PROGRAM ON)
endif()

# Gives `target`, the shipped program, what a vendor's machine sees of it.
function(update_ship target)
  if(WIN32)
    set(UPDATE_MANIFEST ${CMAKE_SOURCE_DIR}/resources/update.manifest)
    set(rc ${CMAKE_BINARY_DIR}/update.rc)
    configure_file(${CMAKE_SOURCE_DIR}/resources/update.rc.in ${rc} @ONLY)
    # windres reads the manifest at build time: a change to it must rebuild.
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${UPDATE_MANIFEST})
    target_sources(${target} PRIVATE ${rc})
  endif()
  if(UPDATE_STATIC_PROGRAM)
    target_link_options(${target} PRIVATE -static-pie)
  endif()
  if(NOT UPDATE_SPLIT_DEBUG_INFO)
    return()
  endif()
  # DWARF goes to <program>.debug beside the program, which names it in its
  # .gnu_debuglink section, so gdb finds it for a crash dump or a core file.
  # objcopy stamps the Windows program it rewrites with the current time
  # unless SOURCE_DATE_EPOCH names one: 0, as the linker leaves it.
  set(program $<TARGET_FILE_NAME:${target}>)
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${objcopy} --only-keep-debug ${program} ${program}.debug
    COMMAND ${objcopy} --strip-all ${program}
    COMMAND ${objcopy} --add-gnu-debuglink=${program}.debug ${program}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
