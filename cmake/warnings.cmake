# Our own code builds with warnings as errors; the dependencies' code does not.
function(update_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endfunction()
