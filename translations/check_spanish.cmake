# Fails when the sources hold a text that programador_es.ts does not
# translate, and names each. Run by the check_spanish target:
#   cmake -DLUPDATE=... -DTS_FILE=... -DCOPY=... -DTEXT_DIRS=... -DSTAMP=... -P check_spanish.cmake
file(REMOVE ${STAMP})
configure_file(${TS_FILE} ${COPY} COPYONLY)
execute_process(COMMAND ${LUPDATE} -silent -locations none ${TEXT_DIRS} -ts ${COPY}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed (${result})")
endif()

file(READ ${COPY} ts)
# One list entry per message; obsolete and vanished ones are fine.
string(REPLACE ";" "\\;" ts "${ts}")
string(REPLACE "<message" ";<message" messages "${ts}")
set(missing "")
foreach(message IN LISTS messages)
    if(message MATCHES "^<message" AND message MATCHES "type=\"unfinished\"")
        string(REGEX MATCH "<source>([^<]*)</source>" source "${message}")
        string(APPEND missing "\n  ${CMAKE_MATCH_1}")
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "These texts have no finished Spanish translation in "
        "translations/programador_es.ts (update it with the update_translations target "
        "and translate them):${missing}")
endif()
file(TOUCH ${STAMP})
