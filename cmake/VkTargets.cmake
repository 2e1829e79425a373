# Shared helpers for the project's own targets.

# Warnings for code we write; third-party headers come in as system headers and stay quiet.
function(vk_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wcast-qual -Wformat=2)
    if(VK_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# vk_add_library(<Name> HEADER_DIR <dir under hostapi/ or popupdialog/> SOURCES ... [PUBLIC_DEPS ...] [PRIVATE_DEPS ...]
#                [INTERNAL])
# A shared library with hidden symbols, its own export macro (<NAME>_LIBRARY defined while building it),
# an ALIAS VkPopupDialog::<Name>, and its public headers installed beside the others. An INTERNAL library
# is installed (the others load it) but its headers are not: no host includes them.
function(vk_add_library name)
    cmake_parse_arguments(ARG "INTERNAL" "HEADER_DIR" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    file(GLOB public_headers CONFIGURE_DEPENDS "${ARG_HEADER_DIR}/*.h")
    add_library(${name} SHARED ${ARG_SOURCES} ${public_headers})
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
    get_filename_component(subdir "${ARG_HEADER_DIR}" NAME)
    install(TARGETS ${name} EXPORT VkPopupDialogTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
    if(NOT ARG_INTERNAL)
        install(FILES ${public_headers} DESTINATION "${VK_INSTALL_INCLUDEDIR}/${subdir}")
    endif()
endfunction()
