# Compiles every Windows backend with the mingw-w64 cross compiler against the Win32 headers, so
# the Windows code cannot rot on a Linux-only build. Only syntax and types are checked (Qt's
# headers are the host's; nothing is linked). Skipped where the cross compiler is missing.
find_program(MINGW NAMES x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++)
if(NOT MINGW)
    message("SKIP: no mingw-w64 cross compiler (package g++-mingw-w64-x86-64-posix)")
    return()
endif()
file(GLOB _sources "${SRC}/platform/win/*.cpp")
set(_failed 0)
foreach(_f IN LISTS _sources)
    execute_process(
        COMMAND ${MINGW} -std=c++17 -fsyntax-only -Wall -Wextra -Werror -DUNICODE -D_UNICODE
                -I${SRC} -isystem ${QT_INCLUDE} -isystem ${QT_INCLUDE}/QtCore -isystem ${QT_INCLUDE}/QtGui ${_f}
        RESULT_VARIABLE _rc ERROR_VARIABLE _err)
    if(_rc)
        message("FAIL: ${_f}\n${_err}")
        set(_failed 1)
    else()
        message("ok: ${_f}")
    endif()
endforeach()
list(LENGTH _sources _count)
if(_count EQUAL 0 OR _failed)
    message(FATAL_ERROR "Windows backends do not compile")
endif()
