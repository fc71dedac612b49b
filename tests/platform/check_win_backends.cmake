# The Windows backends with the mingw-w64 cross compilers, for 32-bit (the product's target) and
# 64-bit Windows:
#  - every source of platform/win is compiled against the Win32 headers (the Qt adapters for
#    syntax and types only, as Qt's headers are the host's and there is no Qt for Windows here);
#  - the Qt-free cores that tst_win_cores.cpp includes are linked with it into a Windows program
#    for each architecture;
#  - the 64-bit program runs under Wine (Debian 12 offers no 32-bit Wine without the i386
#    architecture), in a Chinese locale so that the ANSI code page is 936, with a private Wine
#    prefix in the build folder and its own X server.
# Called by CTest with SRC (source folder), BIN (this test's build folder) and QT_INCLUDE.
cmake_minimum_required(VERSION 3.16)

set(_flags -std=c++17 -Wall -Wextra -Werror -DUNICODE -D_UNICODE -I${SRC})
file(GLOB _sources "${SRC}/platform/win/*.cpp")
set(_test "${SRC}/tests/platform/tst_win_cores.cpp")
# The cores are the sources of the headers the test program includes.
file(STRINGS ${_test} _includes REGEX "^#include \"platform/win/")
set(_cores "")
foreach(_line IN LISTS _includes)
    string(REGEX REPLACE "^#include \"(platform/win/[A-Za-z]+)\\.h\"" "${SRC}/\\1.cpp" _core "${_line}")
    list(APPEND _cores ${_core})
endforeach()

foreach(_arch i686 x86_64)
    set(_unity_text "")
    find_program(_cxx_${_arch} NAMES ${_arch}-w64-mingw32-g++-posix ${_arch}-w64-mingw32-g++)
    set(_cxx ${_cxx_${_arch}})
    if(NOT _cxx)
        message(FATAL_ERROR "no ${_arch} mingw-w64 cross compiler (package g++-mingw-w64-${_arch}-posix; "
                            "`make test` installs it)")
    endif()
    # The adapters in one translation unit (Qt's headers are parsed once); file by file only when
    # that fails, to name the file (or to tell a clash of their file-local names from a fault).
    set(_unity "${BIN}/${_arch}_adapters.cpp")
    set(_adapters "")
    foreach(_f IN LISTS _sources)
        if(NOT _f IN_LIST _cores) # the cores are compiled in full below
            list(APPEND _adapters ${_f})
            string(APPEND _unity_text "#include \"${_f}\"\n")
        endif()
    endforeach()
    file(WRITE ${_unity} "${_unity_text}")
    set(_qt -isystem ${QT_INCLUDE} -isystem ${QT_INCLUDE}/QtCore -isystem ${QT_INCLUDE}/QtGui)
    execute_process(COMMAND ${_cxx} ${_flags} -fsyntax-only ${_qt} ${_unity} RESULT_VARIABLE _rc ERROR_QUIET)
    if(_rc)
        foreach(_f IN LISTS _adapters)
            execute_process(COMMAND ${_cxx} ${_flags} -fsyntax-only ${_qt} ${_f} RESULT_VARIABLE _rc
                            ERROR_VARIABLE _err)
            if(_rc)
                message(FATAL_ERROR "${_arch}: ${_f} does not compile\n${_err}")
            endif()
        endforeach()
    endif()
    file(MAKE_DIRECTORY ${BIN}/${_arch})
    execute_process(COMMAND ${_cxx} ${_flags} -O1 ${_cores} ${_test} -static -lsetupapi
                            -o ${BIN}/${_arch}/tst_win_cores.exe
                    RESULT_VARIABLE _rc ERROR_VARIABLE _err)
    if(_rc)
        message(FATAL_ERROR "${_arch}: the Windows cores and their test program do not build\n${_err}")
    endif()
    message("ok: ${_arch} Windows sources compile, tst_win_cores.exe built")
endforeach()

find_program(_wine64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(_wine64 NAMES wine64)
find_program(_xvfb_run xvfb-run)
if(NOT _wine64 OR NOT _xvfb_run)
    message("SKIP: Wine cannot start here (packages wine64 and xvfb)")
    return()
endif()
get_filename_component(_wine_dir ${_wine64} DIRECTORY)

# zh_CN.UTF-8 from the system, or compiled once into the build folder (no root needed).
unset(_locpath)
execute_process(COMMAND locale -a OUTPUT_VARIABLE _locales)
if(NOT _locales MATCHES "zh_CN\\.utf8")
    set(_locpath ${BIN}/locale)
    if(NOT EXISTS ${_locpath}/zh_CN.UTF-8/LC_CTYPE)
        file(MAKE_DIRECTORY ${_locpath})
        execute_process(COMMAND localedef -i zh_CN -f UTF-8 ${_locpath}/zh_CN.UTF-8 RESULT_VARIABLE _rc
                        ERROR_VARIABLE _err)
        if(NOT EXISTS ${_locpath}/zh_CN.UTF-8/LC_CTYPE)
            message(FATAL_ERROR "cannot compile the zh_CN.UTF-8 locale (package locales)\n${_err}")
        endif()
    endif()
endif()

set(_env WINEPREFIX=${BIN}/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= LANG=zh_CN.UTF-8
         LC_ALL=zh_CN.UTF-8)
if(_locpath)
    list(APPEND _env LOCPATH=${_locpath})
endif()
set(_x ${_xvfb_run} -a -s "-screen 0 1024x768x24 -nolisten tcp")
if(NOT EXISTS ${BIN}/wineprefix/system.reg)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${_env} ${_x} ${_wine64} wineboot -i
                    RESULT_VARIABLE _rc OUTPUT_QUIET ERROR_VARIABLE _err TIMEOUT 240)
    if(_rc OR NOT EXISTS ${BIN}/wineprefix/system.reg)
        message("SKIP: Wine cannot start here (no Wine prefix could be made)\n${_err}")
        return()
    endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${_env} ${_x} ${_wine64} ${BIN}/x86_64/tst_win_cores.exe
                RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _err TIMEOUT 240)
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${_env} ${_wine_dir}/wineserver -k OUTPUT_QUIET ERROR_QUIET)
message("${_out}")
if(NOT _rc EQUAL 0 OR NOT _out MATCHES "\n0 failure\\(s\\)")
    message(FATAL_ERROR "the Windows cores fail under Wine (exit ${_rc})\n${_err}")
endif()
