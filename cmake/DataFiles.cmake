# The data files the program ships, shared by the build's staging, the install rules and the
# per-user working folder. The folder data/<os>/ holds the platform's own versions of some files,
# which go in place of the common ones.

# Files the user edits through the program (or by hand): copied only when missing, so neither a
# rebuild nor a package upgrade overwrites what the user saved. The other shipped files are
# replaced whenever the shipped copy changes.
set(ZORVEL_USER_FILES commandwords.txt software.txt webSearch.txt userwords.txt services.ini)

# Full paths of the shipped files for one OS, the platform's versions in place of the common ones.
function(zorvel_shipped_files out src os)
    file(GLOB _common LIST_DIRECTORIES false "${src}/*")
    set(_files "")
    foreach(_f IN LISTS _common)
        get_filename_component(_n "${_f}" NAME)
        if(NOT EXISTS "${src}/${os}/${_n}")
            list(APPEND _files "${_f}")
        endif()
    endforeach()
    file(GLOB _os LIST_DIRECTORIES false "${src}/${os}/*")
    list(APPEND _files ${_os})
    set(${out} ${_files} PARENT_SCOPE)
endfunction()
