# The English translation covers every text of the sources: lupdate finds no text that the
# translation file lacks, and lrelease finds none left unfinished.
file(MAKE_DIRECTORY ${WORK})
configure_file(${SOURCE}/resources/translations/zorvel_en.ts ${WORK}/zorvel_en.ts COPYONLY)
execute_process(COMMAND ${LUPDATE} -I . -no-obsolete -locations relative app ui voice result custom services commands
                        -source-language zh_CN -target-language en_US -ts ${WORK}/zorvel_en.ts
                WORKING_DIRECTORY ${SOURCE} OUTPUT_VARIABLE found ERROR_VARIABLE found RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT found MATCHES "\\(0 new and" OR found MATCHES "Removed")
    message(FATAL_ERROR "resources/translations/zorvel_en.ts is out of date, run `make translations`:\n${found}")
endif()
execute_process(COMMAND ${LRELEASE} ${WORK}/zorvel_en.ts -qm ${WORK}/zorvel_en.qm
                OUTPUT_VARIABLE released ERROR_VARIABLE released RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT released MATCHES " and 0 unfinished\\)" OR released MATCHES "Ignored")
    message(FATAL_ERROR "the English translation is unfinished:\n${released}")
endif()
message(STATUS "${released}")
