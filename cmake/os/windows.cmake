# Windows: everything the build does only for Windows. One backend
# (src/platform/win32, which also wires it), the Win32 front end (src/ui/win32)
# and dwellmark.exe (src/app/win32); installed flat into bin/, packed as an
# NSIS installer and a portable .zip. Included by the top-level
# CMakeLists.txt, which calls dwellmark_os_program() once src/ is configured.

# Folders under src/: the Windows headers, then the backend.
set(DWELLMARK_PLATFORM_DIRS win32api platform/win32)
set(DWELLMARK_FRONTEND win32)
set(DWELLMARK_ENTRY win32)
# Folders under tests/: those of the backend; the program's tests are the front end's.
set(DWELLMARK_BACKEND_TEST_DIRS platform/win32)
set(DWELLMARK_PROGRAM_TEST_DIRS)
# Folders under tests/support: the fakes, and the message pump and second programs.
set(DWELLMARK_TEST_SUPPORT core win32)
# Every test of the Windows build carries the label win32.
set(DWELLMARK_UI_COMMON_TEST_LABEL win32)
# How GoogleTest programs are listed: cross-built ones only when the tests run
# (under Wine), as the build cannot run them.
if(CMAKE_CROSSCOMPILING)
    set(DWELLMARK_GTEST_DISCOVERY DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
else()
    set(DWELLMARK_GTEST_DISCOVERY DISCOVERY_TIMEOUT 60)
endif()

# The installed layout, the installer and the portable .zip, and the tick
# benchmark (it needs no Google Benchmark), once src/ has made its targets.
function(dwellmark_os_program)
    if(NOT TARGET dwellmark)
        return()
    endif()
    set(_data ${PROJECT_SOURCE_DIR}/data)
    install(TARGETS dwellmark RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${_data}/HAND-M.CUR DESTINATION ${CMAKE_INSTALL_BINDIR})

    include(${PROJECT_SOURCE_DIR}/cmake/packaging.cmake)
    include(CPack)

    # The packages ship an optimised exe without symbols: this build's own when
    # it is a release build, else that of a release build of the program
    # nested in this one (build/<preset>/release).
    if(MINGW)
        target_link_options(dwellmark PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
    endif()
    if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$")
        set(_packed $<TARGET_FILE:dwellmark>)
        set(_packed_target dwellmark)
    else()
        include(ExternalProject)
        set(_release ${PROJECT_BINARY_DIR}/release)
        set(_packed ${_release}/src/app/dwellmark.exe)
        set(_packed_target dwellmark_release)
        ExternalProject_Add(dwellmark_release
            SOURCE_DIR ${PROJECT_SOURCE_DIR}
            BINARY_DIR ${_release}
            CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
                       -DDWELLMARK_BUILD_TESTS=OFF -DDWELLMARK_WARNINGS_AS_ERRORS=${DWELLMARK_WARNINGS_AS_ERRORS}
            BUILD_COMMAND ${CMAKE_COMMAND} --build ${_release} --config Release --target dwellmark
            BUILD_ALWAYS ON
            BUILD_BYPRODUCTS ${_packed}
            INSTALL_COMMAND ""
            EXCLUDE_FROM_ALL ON)
    endif()

    # The tests look at the packed exe too.
    set(DWELLMARK_PACKED_EXE ${_packed} PARENT_SCOPE)
    set(DWELLMARK_PACKED_TARGET ${_packed_target} PARENT_SCOPE)

    # Both from one command: cmake --build --preset win32 --target dwellmark_packages
    # (NSIS, 64-bit Unicode target).
    find_program(DWELLMARK_MAKENSIS makensis)
    find_program(DWELLMARK_ZIP zip)
    if(DWELLMARK_MAKENSIS AND DWELLMARK_ZIP)
        set(_entry ${PROJECT_SOURCE_DIR}/src/app/win32)
        set(_icon ${_data}/dwellmark.ico)
        set(_installer ${PROJECT_BINARY_DIR}/dwellmark-${PROJECT_VERSION}-setup.exe)
        set(_portable ${PROJECT_BINARY_DIR}/dwellmark-${PROJECT_VERSION}-portable.zip)
        set(_stage ${PROJECT_BINARY_DIR}/src/app/win32/portable/Dwellmark)
        add_custom_command(
            OUTPUT ${_installer} ${_portable}
            COMMAND ${DWELLMARK_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DEXE=${_packed}
                    -DCURSOR=${_data}/HAND-M.CUR -DICON=${_icon} -DOUTFILE=${_installer} ${_entry}/installer.nsi
            COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage} ${_portable}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}
            COMMAND ${CMAKE_COMMAND} -E copy ${_packed} ${_data}/HAND-M.CUR ${_stage}
            COMMAND ${CMAKE_COMMAND} -E chdir ${_stage}/.. ${DWELLMARK_ZIP} -q -r -X ${_portable} Dwellmark
            DEPENDS ${_packed_target} ${_packed} ${_entry}/installer.nsi ${_data}/HAND-M.CUR ${_icon}
            COMMENT "Packing the Windows installer and the portable .zip")
        add_custom_target(dwellmark_packages ALL DEPENDS ${_installer} ${_portable})
    endif()

    add_subdirectory(${PROJECT_SOURCE_DIR}/benchmarks/win32 ${PROJECT_BINARY_DIR}/benchmarks/win32)
endfunction()
