# Cross-compiling for 32-bit Windows with Debian's mingw-w64 (the posix thread model, whose runtime
# DLLs are shipped beside the program). The Qt for Windows prefix (ZORVEL_QT_PREFIX) holds the
# Windows libraries and, in its bin/, the host's moc, uic and rcc; ZORVEL_SPHINX_PREFIX the offline
# speech engine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZORVEL_MINGW i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORVEL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORVEL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORVEL_MINGW}-windres)
# try_compile runs this file again in a fresh project: pass the prefixes on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZORVEL_QT_PREFIX ZORVEL_SPHINX_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${ZORVEL_MINGW} ${ZORVEL_QT_PREFIX} ${ZORVEL_SPHINX_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(ZORVEL_QT_PREFIX)
    set(Qt5_DIR ${ZORVEL_QT_PREFIX}/lib/cmake/Qt5 CACHE PATH "Qt for Windows")
endif()
