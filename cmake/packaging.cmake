# Release packages, made by CPack from the install rules below:
#   update-VERSION-SYSTEM.EXT        the program and its texts: update-LICENSE.txt,
#                                    update-NOTICES.txt, update-README.txt,
#                                    update-VERSION.txt
#   update-VERSION-SYSTEM-debug.EXT  the program's debug information, update-VERSION.txt
# each with a .sha256 file, stamped with the last commit's time
# (package_time.cmake). scripts/package makes both systems' packages.

set(package_system linux-x86_64)
set(package_generator TGZ)
set(UPDATE_NEW_PROGRAM update-new)
set(UPDATE_MOVE_CALL "rename(\"/opt/app/update-new\", \"/opt/app/update\");")
set(UPDATE_COMMAND "/opt/app/update --exeName app --zipFile /var/cache/app/new.zip --dstPath /opt/app")
set(UPDATE_PROGRAM_NOTE "The program is one file, update, a static x86-64 program that needs no
library: it runs on Linux 3.2 or newer, any distribution.")
set(UPDATE_START_NOTE "On Linux, start it in a session of its own
(setsid), with its standard streams on /dev/null: otherwise closing the
terminal or killing the application's process group ends it, and so does a
pipe whose reader is gone. A service's control group ends with the service
whatever the session (systemd's KillMode=control-group): start it in a scope
of its own (systemd-run --scope --collect ...), where the application it
starts again then runs too. Open your files and sockets with O_CLOEXEC: the
updater holds every other descriptor it inherits until it ends. The stop
sends SIGTERM, and SIGKILL about five seconds after it; it waits ten
seconds in all.")
set(UPDATE_RIGHTS_NOTE "The updater runs with the rights of whoever starts it (root for an
installation owned by root).")
# glibc is linked in statically, under the LGPL 2.1.
set(UPDATE_LICENCE_NOTE "

The Linux program carries the GNU C Library (glibc) under the GNU LGPL 2.1:
whoever passes it on must let its users relink it with a changed glibc.
Publish with your application (or offer in writing for three years) the
source of the glibc named in update-NOTICES.txt (Debian's source package of
that version) and the updater's source at this version, which builds the
same program.")
if(WIN32)
  set(package_system windows-x86)
  set(package_generator ZIP)
  set(UPDATE_NEW_PROGRAM update-new.exe)
  set(UPDATE_MOVE_CALL "MoveFileExW(L\"C:\\\\App\\\\update-new.exe\", L\"C:\\\\App\\\\update.exe\", MOVEFILE_REPLACE_EXISTING);")
  set(UPDATE_COMMAND "C:\\App\\update.exe --exeName app.exe --zipFile C:\\Downloads\\new.zip --dstPath C:\\App")
  set(UPDATE_PROGRAM_NOTE "The program is one file, update.exe, a 32-bit program that needs no DLL
beside it: it runs on Windows 7 or newer, 32- or 64-bit.")
  set(UPDATE_START_NOTE "On Windows, start it with
CREATE_BREAKAWAY_FROM_JOB and DETACHED_PROCESS, inheriting no handle: an
application in a job object that kills its processes when closed takes an
updater started without that flag with it. A job that allows no breakaway
refuses the flag (error 5): start it in the job then, and keep the job open
until the update is done. The stop posts WM_CLOSE to every top-level window
of the application's processes and ends what is left about five seconds
later, waiting ten seconds in all; a process that owns no window is ended
at once. On
the command line a quoted path that ends in a backslash (\"C:\\App\\\") escapes
its quote: leave the backslash off.")
  set(UPDATE_LICENCE_NOTE "")
  set(UPDATE_RIGHTS_NOTE "The updater never asks for administrator rights: it runs with the rights of
whoever starts it. An application installed under Program Files must start it
elevated (ShellExecuteExW with the verb runas).")
endif()
set(UPDATE_PACKAGE_SYSTEM ${package_system})
set(UPDATE_PACKAGE_NAME update-${PROJECT_VERSION}-${package_system})

# The examples of starting the updater that the README shows, as the tests
# build and run them.
set(examples ${CMAKE_SOURCE_DIR}/packaging/examples)
set(example_files start_update.py start_update.js)
if(WIN32)
  list(PREPEND example_files start_update_windows.c StartUpdate.cs)
else()
  list(PREPEND example_files start_update_linux.c)
endif()
set(UPDATE_EXAMPLES "")
foreach(example ${example_files})
  file(READ ${examples}/${example} text)
  string(REGEX REPLACE "\n+$" "" text "${text}")
  # Indented as the text's other code, blank lines left blank.
  string(REGEX REPLACE "\n([^\n])" "\n    \\1" text "    ${text}")
  string(APPEND UPDATE_EXAMPLES "\n${example}:\n\n${text}\n")
endforeach()
list(TRANSFORM example_files PREPEND ${examples}/)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${example_files})

# The texts carry the updater's name, so that the updater copied beside the
# application never replaces the application's own README, LICENSE or VERSION.
# Their lines end as the system's own texts do: Notepad before Windows 10
# shows a text of bare line feeds as one line.
set(package_text ${CMAKE_BINARY_DIR}/package)
set(package_newline "\n")
if(WIN32)
  set(package_newline "\r\n")
endif()
# Writes `text` as the package's text `name`.
function(write_package_text name text)
  string(REPLACE "\n" "${package_newline}" text "${text}")
  file(WRITE ${package_text}/${name} "${text}")
endfunction()
# The README's @NAMES@ are replaced; the other texts stay as they are.
foreach(row "README.txt;packaging/README.txt.in" "LICENSE.txt;LICENSE" "NOTICES.txt;NOTICES.txt")
  list(GET row 0 name)
  list(GET row 1 source)
  file(READ ${CMAKE_SOURCE_DIR}/${source} text)
  if(name STREQUAL README.txt)
    string(CONFIGURE "${text}" text @ONLY)
  endif()
  write_package_text(update-${name} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${source})
endforeach()
write_package_text(update-VERSION.txt "${PROJECT_VERSION}\n")

install(TARGETS update RUNTIME DESTINATION . COMPONENT program)
install(FILES ${package_text}/update-LICENSE.txt ${package_text}/update-NOTICES.txt
              ${package_text}/update-README.txt ${package_text}/update-VERSION.txt
        DESTINATION . COMPONENT program)
set(package_components program)
if(UPDATE_SPLIT_DEBUG_INFO)
  install(FILES $<TARGET_FILE:update>.debug ${package_text}/update-VERSION.txt DESTINATION . COMPONENT debug)
  list(APPEND package_components debug)
endif()

# Packaging needs only the program: the tests stay out of an install.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME update)
set(CPACK_PACKAGE_VENDOR "The update authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR ${package_generator})
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${package_components})
# Both archives unpack into one folder named after the program's package,
# never into the current one: the debug information lands beside the program,
# where gdb looks for it.
set(CPACK_PACKAGE_FILE_NAME ${UPDATE_PACKAGE_NAME})
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_PROGRAM_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})
set(CPACK_ARCHIVE_DEBUG_FILE_NAME ${CPACK_PACKAGE_FILE_NAME}-debug)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/package_time.cmake)
set(CPACK_UPDATE_SOURCE_DIR ${CMAKE_SOURCE_DIR})
include(CPack)
