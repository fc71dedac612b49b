# The Windows build of zorvel.exe: a GUI-subsystem program with its icon and version as resources,
# then the portable folder (the program, the DLLs and plugins it loads, the MinGW runtime, the data
# files and the offline model) and the NSIS installer built from that folder.
enable_language(RC)
set(ZORVEL_ICON ${CMAKE_SOURCE_DIR}/resources/images/zorvel.ico)
configure_file(${CMAKE_CURRENT_LIST_DIR}/zorvel.rc.in ${CMAKE_BINARY_DIR}/zorvel.rc @ONLY)
target_sources(zorvel PRIVATE ${CMAKE_BINARY_DIR}/zorvel.rc)
set_target_properties(zorvel PROPERTIES WIN32_EXECUTABLE ON)

# The MinGW runtime the program and Qt's DLLs load (the posix thread model's).
set(_runtime_dirs "")
foreach(_dll libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
        OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${_path}")
        get_filename_component(_dir "${_path}" DIRECTORY)
        get_filename_component(_dir "${_dir}" REALPATH)
        list(APPEND _runtime_dirs ${_dir})
    endif()
endforeach()
list(APPEND _runtime_dirs /usr/${ZORVEL_MINGW}/lib)
list(REMOVE_DUPLICATES _runtime_dirs)
get_filename_component(_qt_prefix "${Qt5_DIR}/../../.." ABSOLUTE)
include(${CMAKE_SOURCE_DIR}/cmake/DataFiles.cmake)

# Each step runs again only when what it is made from changed.
set(ZORVEL_PORTABLE_DIR ${CMAKE_BINARY_DIR}/Zorvel CACHE PATH "The portable folder")
set(_model ${ZORVEL_SPHINX_PREFIX}/share/pocketsphinx/model/en-us)
zorvel_shipped_files(_shipped ${CMAKE_SOURCE_DIR}/data ${ZORVEL_OS})
set(_portable_stamp ${CMAKE_BINARY_DIR}/portable.stamp)
add_custom_command(OUTPUT ${_portable_stamp}
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:zorvel> -DDST=${ZORVEL_PORTABLE_DIR}
            -DQT_PREFIX=${_qt_prefix} "-DRUNTIME_DIRS=${_runtime_dirs}" -DOBJDUMP=${ZORVEL_MINGW}-objdump
            -DDATA=${CMAKE_SOURCE_DIR}/data -DOS=${ZORVEL_OS} -DMODEL=${_model}
            -P ${CMAKE_CURRENT_LIST_DIR}/Portable.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${_portable_stamp}
    DEPENDS zorvel ${_shipped} ${CMAKE_CURRENT_LIST_DIR}/Portable.cmake
    COMMENT "Assembling the portable folder"
    VERBATIM)
add_custom_target(zorvel_portable ALL DEPENDS ${_portable_stamp})

# The uninstaller removes the shipped data files that are not the user's.
set(_lines "")
foreach(_f IN LISTS _shipped)
    get_filename_component(_n ${_f} NAME)
    if(NOT _n IN_LIST ZORVEL_USER_FILES)
        string(APPEND _lines "Delete \"$INSTDIR\\${_n}\"\n")
    endif()
endforeach()
set(ZORVEL_SHIPPED_LIST ${CMAKE_BINARY_DIR}/shipped.nsh)
file(CONFIGURE OUTPUT ${ZORVEL_SHIPPED_LIST} CONTENT "${_lines}")

find_program(MAKENSIS makensis)
set(ZORVEL_INSTALLER ${CMAKE_BINARY_DIR}/Zorvel-${PROJECT_VERSION}-setup.exe)
add_custom_command(OUTPUT ${ZORVEL_INSTALLER}
    COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION} -DSOURCE=${ZORVEL_PORTABLE_DIR}
            -DOUTFILE=${ZORVEL_INSTALLER} -DICON=${ZORVEL_ICON} -DSHIPPED_LIST=${ZORVEL_SHIPPED_LIST}
            ${CMAKE_CURRENT_LIST_DIR}/zorvel.nsi
    DEPENDS ${_portable_stamp} ${CMAKE_CURRENT_LIST_DIR}/zorvel.nsi ${ZORVEL_SHIPPED_LIST}
    COMMENT "Building the installer"
    VERBATIM)
add_custom_target(zorvel_installer ALL DEPENDS ${ZORVEL_INSTALLER})
