# Shared helpers for the project's own targets. Every library goes through vk_add_library and every
# program through vk_add_program, so that all of them build with the same warnings and Qt rules.

# Warnings for code we write; third-party headers come in as system headers and stay quiet.
function(vk_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wcast-qual -Wformat=2)
    if(VK_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# No implicit conversion between QString and 8-bit strings (each one must say its encoding), no
# QUrl made from a bare string, no Q_FOREACH, and nothing Qt deprecated up to 5.15.
set(VK_STRICT_QT_DEFINITIONS
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_FOREACH
    QT_DISABLE_DEPRECATED_BEFORE=0x050F00)

# Every target of ours builds with them: libraries, programs, benchmarks and test suites.
function(vk_set_strict_qt target)
    target_compile_definitions(${target} PRIVATE ${VK_STRICT_QT_DEFINITIONS})
endfunction()

# Fails the configure step on a listed file that is not there (add_library would only find out at
# generate time, install(FILES) not before installing). Relative names are taken from the calling
# folder; files that the build makes are left alone.
function(vk_require_files)
    foreach(file ${ARGN})
        get_filename_component(path "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
        get_source_file_property(generated "${path}" GENERATED)
        if(NOT generated AND NOT EXISTS "${path}")
            message(FATAL_ERROR "Missing file: ${path}")
        endif()
    endforeach()
endfunction()

# vk_add_library(<Name> SOURCES ... [PUBLIC_HEADERS ...] [HEADER_BASE <dir>] [PUBLIC_DEPS ...]
#                [PRIVATE_DEPS ...] [INTERNAL])
# A shared library with hidden symbols, its own export macro (<NAME>_LIBRARY defined while building it),
# an ALIAS VkPopupDialog::<Name>, and its public headers installed beside the others. PUBLIC_HEADERS are
# named relative to HEADER_BASE (hostapi/ unless told) and keep that relative folder when installed, so
# that a host includes <vkcore/VkConfig.h>. An INTERNAL library is installed (the others load it) but
# has no public headers: no host includes them.
function(vk_add_library name)
    cmake_parse_arguments(ARG "INTERNAL" "HEADER_BASE" "SOURCES;PUBLIC_HEADERS;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    if(ARG_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "vk_add_library(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
    endif()
    if(ARG_INTERNAL AND ARG_PUBLIC_HEADERS)
        message(FATAL_ERROR "vk_add_library(${name}): an INTERNAL library has no public headers")
    endif()
    if(NOT ARG_HEADER_BASE)
        set(ARG_HEADER_BASE "${PROJECT_SOURCE_DIR}/hostapi")
    endif()
    set(headers ${ARG_PUBLIC_HEADERS})
    list(TRANSFORM headers PREPEND "${ARG_HEADER_BASE}/")
    vk_require_files(${ARG_SOURCES} ${headers})

    add_library(${name} SHARED ${ARG_SOURCES} ${headers})
    add_library(VkPopupDialog::${name} ALIAS ${name})
    string(TOUPPER "${name}" upper)
    target_compile_definitions(${name} PRIVATE ${upper}_LIBRARY)
    set_target_properties(${name} PROPERTIES
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR}
        EXPORT_NAME ${name})
    target_include_directories(${name} PUBLIC
        "$<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/hostapi>"
        "$<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/popupdialog>"
        "$<INSTALL_INTERFACE:${VK_INSTALL_INCLUDEDIR}>")
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    vk_set_warnings(${name})
    vk_set_strict_qt(${name})
    install(TARGETS ${name} EXPORT VkPopupDialogTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
    foreach(header ${ARG_PUBLIC_HEADERS})
        get_filename_component(subdir "${header}" DIRECTORY)
        install(FILES "${ARG_HEADER_BASE}/${header}" DESTINATION "${VK_INSTALL_INCLUDEDIR}/${subdir}")
    endforeach()
endfunction()

# vk_add_program(<name> SOURCES ... [LIBS ...] [INSTALL])
# A program of ours (demo, command-line tool, benchmark, build tool) with the same warnings and Qt rules
# as the libraries. An INSTALLed program finds the libraries relative to itself, wherever the prefix is.
function(vk_add_program name)
    cmake_parse_arguments(ARG "INSTALL" "" "SOURCES;LIBS" ${ARGN})
    if(ARG_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "vk_add_program(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
    endif()
    vk_require_files(${ARG_SOURCES})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    vk_set_warnings(${name})
    vk_set_strict_qt(${name})
    if(ARG_INSTALL)
        set_target_properties(${name} PROPERTIES INSTALL_RPATH "${VK_PROGRAM_INSTALL_RPATH}")
        install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endfunction()
