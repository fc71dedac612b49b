# Common settings for every target of the project.
function(zorvel_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_BYTEARRAY QT_DEPRECATED_WARNINGS)
endfunction()

# A folder's library: every .cpp/.h/.ui of the folder (not of its sub-folders), except main.cpp.
function(zorvel_folder_library target)
    cmake_parse_arguments(ARG "" "" "LIBS;EXCLUDE" ${ARGN})
    file(GLOB _src CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.ui)
    list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
    foreach(_ex IN LISTS ARG_EXCLUDE)
        list(FILTER _src EXCLUDE REGEX "${_ex}")
    endforeach()
    add_library(${target} STATIC ${_src})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
    zorvel_target_defaults(${target})
    zorvel_register_library(${target})
endfunction()

# One QtTest executable per source file tst_<name>.cpp; each case runs in its own temporary
# directory (see tests/support/TestDir.h). LIBS names the libraries the test exercises.
function(zorvel_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} zorvel_testsupport Qt5::Test)
    zorvel_target_defaults(${name})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZORVEL_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZORVEL_BIN_DIR=${CMAKE_BINARY_DIR}/bin;${ARG_ENV}")
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()

# Registers a library for the executable's link line.
function(zorvel_register_library target)
    set_property(GLOBAL APPEND PROPERTY ZORVEL_LIBRARIES ${target})
endfunction()

# Adds every sub-folder of the current folder that has a CMakeLists.txt, except those named.
function(zorvel_add_subfolders)
    file(GLOB _dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(_d IN LISTS _dirs)
        get_filename_component(_n ${_d} NAME)
        if(IS_DIRECTORY ${_d} AND EXISTS ${_d}/CMakeLists.txt AND NOT _n IN_LIST ARGN)
            add_subdirectory(${_n})
        endif()
    endforeach()
endfunction()
