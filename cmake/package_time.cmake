# Read by CPack before it packs (CPACK_PROJECT_CONFIG_FILE): the archives'
# entries take the time of the last commit, through SOURCE_DATE_EPOCH, which
# CPack's archives honour, instead of the time of the build; so packages of
# one commit are the same bytes. A time already in the environment wins.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C ${CPACK_UPDATE_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed ERROR_QUIET)
  if(failed EQUAL 0 AND commit_time)
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
  endif()
endif()
