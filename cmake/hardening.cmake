# Hardened programs. On Linux, outside the sanitizer and fuzz builds (whose
# runtimes bring their own checks): C library calls checked against the
# sizes the compiler knows, a stack protector, position-independent programs,
# and full RELRO, where BIND_NOW resolves every symbol at start-up so that
# the table of resolved addresses can be made read-only. Windows programs
# get ASLR and DEP from the linker's defaults; high-entropy ASLR exists only
# for 64-bit programs.
if(WIN32 OR UPDATE_SANITIZE OR UPDATE_FUZZ)
  return()
endif()

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
# Redefined, not defined: a compiler may already set another level.
add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
# -pie by hand, not by CMake's check: CMake would put it after a program's
# own options, where it undoes the shipped program's -static-pie.
add_link_options($<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-pie> -Wl,-z,relro,-z,now)
