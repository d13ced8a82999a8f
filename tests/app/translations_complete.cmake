# Fails when a text of the window has no finished English translation: lupdate reads the sources into a copy
# of the Linguist file, and the copy must come out with every entry translated and none left over.
file(COPY_FILE ${TS} ${COPY})
execute_process(COMMAND ${LUPDATE} -silent -I ${SOURCE_DIR}/src -no-obsolete -locations none
                        ${SOURCE_DIR}/src/app ${SOURCE_DIR}/src/widgets -ts ${COPY}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "lupdate failed (${status})")
endif()
file(READ ${COPY} text)
string(REGEX MATCHALL "type=\"(unfinished|vanished|obsolete)\"|<translation></translation>|<numerusform></numerusform>" gaps "${text}")
if(gaps)
    list(LENGTH gaps count)
    message(FATAL_ERROR "${count} texts lack a finished translation in ${TS}; run lupdate and translate them")
endif()
