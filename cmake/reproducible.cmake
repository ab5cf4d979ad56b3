# Reproducible programs: the same sources give the same bytes, whichever
# folders the source, the build and the dependency cache are in
# (dependencies.cmake maps the cache). The paths that the debug information
# and __FILE__ would carry are rewritten under one fixed root, where gdb's
# `set substitute-path /usr/src/update SOURCE` finds a checkout. The build
# folder may lie inside the source tree: the later mapping wins, so it comes
# second.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=/usr/src/update
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}=/usr/src/update/build)
if(WIN32)
  # The linker stamps the time of the link into a Windows program otherwise.
  add_link_options(-Wl,--no-insert-timestamp)
endif()
