# Assembles the portable folder DST from the built EXE: every DLL it loads, directly or through
# another DLL or a plugin, found in Qt's bin/ or the MinGW runtime folders; the Qt plugins it loads
# at run time; the data files of OS; the offline model (MODEL) under model/en-us.
# Run with cmake -P; see Windows.cmake for the variables.
cmake_policy(SET CMP0057 NEW)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/DataFiles.cmake)

# Plugins, by folder: the platform, the native style, .ico images, network bearer, audio input.
set(_plugins platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll
    bearer/qgenericbearer.dll audio/qtaudio_windows.dll)

file(MAKE_DIRECTORY ${DST})
# A rebuilt folder holds only what this run puts there: nothing of a user's run.
file(GLOB _old ${DST}/*)
if(_old)
    file(REMOVE_RECURSE ${_old})
endif()
file(COPY ${EXE} DESTINATION ${DST})
set(_pe ${EXE})
foreach(_p IN LISTS _plugins)
    get_filename_component(_d ${_p} DIRECTORY)
    if(NOT EXISTS ${QT_PREFIX}/plugins/${_p})
        message(FATAL_ERROR "Qt plugin missing: ${QT_PREFIX}/plugins/${_p}")
    endif()
    file(COPY ${QT_PREFIX}/plugins/${_p} DESTINATION ${DST}/${_d})
    list(APPEND _pe ${QT_PREFIX}/plugins/${_p})
endforeach()

# The DLLs those files import, followed through every DLL copied; system DLLs are not found in
# the search folders and stay out.
set(_search ${QT_PREFIX}/bin ${RUNTIME_DIRS})
set(_copied "")
while(_pe)
    list(POP_FRONT _pe _file)
    execute_process(COMMAND ${OBJDUMP} -p ${_file} OUTPUT_VARIABLE _dump RESULT_VARIABLE _rc)
    if(NOT _rc EQUAL 0)
        message(FATAL_ERROR "cannot read ${_file}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" _names "${_dump}")
    foreach(_n IN LISTS _names)
        string(REPLACE "DLL Name: " "" _n "${_n}")
        string(STRIP "${_n}" _n)
        if(_n IN_LIST _copied)
            continue()
        endif()
        foreach(_dir IN LISTS _search)
            if(EXISTS ${_dir}/${_n})
                file(COPY ${_dir}/${_n} DESTINATION ${DST})
                list(APPEND _copied ${_n})
                list(APPEND _pe ${_dir}/${_n})
                break()
            endif()
        endforeach()
    endforeach()
endwhile()

zorvel_shipped_files(_data ${DATA} ${OS})
file(COPY ${_data} DESTINATION ${DST})
if(EXISTS ${MODEL})
    file(COPY ${MODEL} DESTINATION ${DST}/model)
endif()
list(LENGTH _copied _count)
message(STATUS "Portable folder ${DST}: ${_count} DLLs")
