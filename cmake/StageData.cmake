cmake_policy(SET CMP0057 NEW)
# Copies data/ beside the executable (see DataFiles.cmake): user-maintained files only when
# missing, the others whenever they changed.
include(${CMAKE_CURRENT_LIST_DIR}/DataFiles.cmake)
zorvel_shipped_files(_files "${SRC}" "${OS}")
foreach(_f IN LISTS _files)
    get_filename_component(_n "${_f}" NAME)
    if(_n IN_LIST ZORVEL_USER_FILES AND EXISTS "${DST}/${_n}")
        continue()
    endif()
    configure_file("${_f}" "${DST}/${_n}" COPYONLY)
endforeach()
