# Release packages, made by CPack from the install rules below:
#   update-VERSION-SYSTEM.EXT        the program, what it needs beside it,
#                                    LICENSE, NOTICES.txt, README.txt, VERSION
#   update-VERSION-SYSTEM-debug.EXT  the program's debug information, VERSION
# each with a .sha256 file, stamped with the last commit's time
# (package_time.cmake). scripts/package makes both systems' packages.

set(package_system linux-x86_64)
set(package_generator TGZ)
set(UPDATE_COMMAND "./update --exeName app --zipFile /var/cache/app/new.zip --dstPath /opt/app")
set(UPDATE_PROGRAM_NOTE "The program is one file,
update, a static program that needs no library: it runs on Linux 3.2 or
newer, any distribution.")
set(UPDATE_RIGHTS_NOTE "The updater runs with the rights of whoever starts it, which must be able
to write the installation directory.")
if(WIN32)
  set(package_system windows-x86)
  set(package_generator ZIP)
  set(UPDATE_COMMAND "update.exe --exeName app.exe --zipFile C:\\Downloads\\new.zip --dstPath C:\\App")
  set(UPDATE_PROGRAM_NOTE "The program is one file,
update.exe, which needs no DLL beside it.")
  set(UPDATE_RIGHTS_NOTE "The updater never asks for administrator rights: it runs with the rights of
whoever starts it. An application installed under Program Files must start it
elevated.")
endif()
set(UPDATE_PACKAGE_SYSTEM ${package_system})
set(UPDATE_PACKAGE_NAME update-${PROJECT_VERSION}-${package_system})

set(package_text ${CMAKE_BINARY_DIR}/package)
configure_file(${CMAKE_SOURCE_DIR}/packaging/README.txt.in ${package_text}/README.txt @ONLY)
file(WRITE ${package_text}/VERSION "${PROJECT_VERSION}\n")

install(TARGETS update RUNTIME DESTINATION . COMPONENT program)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/NOTICES.txt ${package_text}/README.txt
              ${package_text}/VERSION
        DESTINATION . COMPONENT program)
set(package_components program)
if(UPDATE_SPLIT_DEBUG_INFO)
  install(FILES $<TARGET_FILE:update>.debug ${package_text}/VERSION DESTINATION . COMPONENT debug)
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
