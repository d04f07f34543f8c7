# Linux: everything the build does only for Linux. The program carries every
# desktop's backend (src/platform/x11 and src/platform/wayland, over what they
# share in src/platform/linux) and picks one at start from the session
# (src/platform/linux too); its windows are the Qt front end (src/ui/qt). It
# is installed under libexec/ with a link in bin/ and packed as a Debian
# package. Included by the top-level CMakeLists.txt, which calls
# dwellmark_os_program() once src/ is configured.

# wayland-scanner writes the code of the Wayland protocols in C.
enable_language(C)

# Folders under src/: what the backends share and the choice among them, then the backends.
set(DWELLMARK_PLATFORM_DIRS platform/linux platform/x11 platform/wayland)
set(DWELLMARK_FRONTEND qt)
set(DWELLMARK_ENTRY linux)
# Folders under tests/: those of the backends, and those that run the program.
set(DWELLMARK_BACKEND_TEST_DIRS platform/linux platform/x11 platform/wayland)
set(DWELLMARK_PROGRAM_TEST_DIRS e2e)
# Folders under tests/support: the harness parts this system's tests use.
set(DWELLMARK_TEST_SUPPORT core process x11 wayland atspi)
# The label of the tests of what every front end shares.
set(DWELLMARK_UI_COMMON_TEST_LABEL ui)
# How GoogleTest programs are listed: run after the build, as they run here.
set(DWELLMARK_GTEST_DISCOVERY DISCOVERY_TIMEOUT 60)

set(_dwellmark_data ${PROJECT_SOURCE_DIR}/data)

# Dwellmark's KWin script, for a KWin that does not show its windows to
# Dwellmark: looked for beside the program (a build folder), then in the data
# folder, found from the program's folder (libexec/dwellmark) by a relative
# path, as the package is installed under another prefix than the one
# configured.
set(DWELLMARK_KWIN_SCRIPT ${_dwellmark_data}/kwin/dwellmark-kwin.js)
file(RELATIVE_PATH DWELLMARK_KWIN_SCRIPT_DIR /${CMAKE_INSTALL_LIBEXECDIR}/dwellmark /${CMAKE_INSTALL_DATADIR}/dwellmark)

# Copies the KWin script beside the programs named (into the folder the first
# is built in).
function(dwellmark_kwin_script_beside)
    list(GET ARGV 0 _first)
    get_target_property(_dir ${_first} RUNTIME_OUTPUT_DIRECTORY)
    if(NOT _dir)
        get_target_property(_dir ${_first} BINARY_DIR)
    endif()
    set(_copy ${_dir}/dwellmark-kwin.js)
    add_custom_command(
        OUTPUT ${_copy}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${DWELLMARK_KWIN_SCRIPT} ${_copy}
        DEPENDS ${DWELLMARK_KWIN_SCRIPT}
        COMMENT "Copying the KWin script beside ${ARGV}")
    add_custom_target(${_first}_kwin_script DEPENDS ${_copy})
    foreach(_target IN LISTS ARGV)
        add_dependencies(${_target} ${_first}_kwin_script)
    endforeach()
endfunction()

# GNOME Shell's extension, in two variants that share one FocusService:
# GNOME 42 to 44 load a script with GJS's imports, GNOME 45 on an ES module.
# Both are built into gnome-shell/VARIANT/dwellmark@dwellmark.org of the
# build folder (where the tests load them) and installed under
# share/dwellmark/gnome-shell; GNOME Shell's own place for the extension is a
# link to the one the installed GNOME Shell loads, made by choose-extension at
# install time. GNOME loads it at the next login once the user has enabled it.
set(_dwellmark_gnome ${_dwellmark_data}/gnome-shell)
set(DWELLMARK_GNOME_EXTENSIONS ${PROJECT_BINARY_DIR}/gnome-shell)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_dwellmark_gnome}/focusservice.js)
file(READ ${_dwellmark_gnome}/focusservice.js FOCUS_SERVICE)
foreach(_variant 42 45)
    set(_out ${DWELLMARK_GNOME_EXTENSIONS}/${_variant}/dwellmark@dwellmark.org)
    configure_file(${_dwellmark_gnome}/${_variant}/extension.js.in ${_out}/extension.js @ONLY)
    configure_file(${_dwellmark_gnome}/${_variant}/metadata.json ${_out}/metadata.json COPYONLY)
endforeach()
unset(FOCUS_SERVICE)

# The installed layout and the Debian package, once src/ has made its targets.
function(dwellmark_os_program)
    set(_data ${_dwellmark_data})
    set(_gnome ${_dwellmark_gnome})
    install(FILES ${DWELLMARK_KWIN_SCRIPT} DESTINATION ${CMAKE_INSTALL_DATADIR}/dwellmark)
    foreach(_variant 42 45)
        install(DIRECTORY ${DWELLMARK_GNOME_EXTENSIONS}/${_variant}/dwellmark@dwellmark.org
                DESTINATION ${CMAKE_INSTALL_DATADIR}/dwellmark/gnome-shell/${_variant})
    endforeach()
    install(PROGRAMS ${_gnome}/choose-extension DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/dwellmark
            RENAME choose-gnome-extension)
    install(CODE "
        set(_data \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}\")
        message(STATUS \"Installing: \${_data}/gnome-shell/extensions/dwellmark@dwellmark.org\")
        execute_process(COMMAND sh ${_gnome}/choose-extension \"\${_data}\" COMMAND_ERROR_IS_FATAL ANY)")

    if(NOT TARGET dwellmark)
        return()
    endif()
    dwellmark_kwin_script_beside(dwellmark)

    # The program and its pointer file share a private folder (a data file has
    # no place in bin/), and bin/ holds a link to the program; the program
    # finds its folder through the link.
    set(_home ${CMAKE_INSTALL_LIBEXECDIR}/dwellmark)
    install(TARGETS dwellmark RUNTIME DESTINATION ${_home})
    install(FILES ${_data}/HAND-M.CUR DESTINATION ${_home})
    file(RELATIVE_PATH _link_target /${CMAKE_INSTALL_BINDIR} /${_home}/dwellmark)
    install(CODE "
        set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(MAKE_DIRECTORY \"\${_bin}\")
        message(STATUS \"Installing: \${_bin}/dwellmark -> ${_link_target}\")
        file(CREATE_LINK \"${_link_target}\" \"\${_bin}/dwellmark\" SYMBOLIC)")
    # KWin shows the windows of the desktop only to a program whose desktop
    # entry names it by its absolute path, so Exec= gets the installed path.
    install(CODE "
        set(_apps \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
        file(READ \"${_data}/dwellmark.desktop\" _entry)
        string(REPLACE \"Exec=dwellmark\" \"Exec=\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/dwellmark\" _entry \"\${_entry}\")
        file(MAKE_DIRECTORY \"\${_apps}\")
        message(STATUS \"Installing: \${_apps}/dwellmark.desktop\")
        file(WRITE \"\${_apps}/dwellmark.desktop\" \"\${_entry}\")")
    install(FILES ${_data}/dwellmark.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

    # The software-centre entry, the manual page and the package's papers carry
    # the version, address and home page set once at the top of the project.
    set(_out ${PROJECT_BINARY_DIR}/data)
    set(_metainfo org.dwellmark.dwellmark.metainfo.xml)
    configure_file(${_data}/${_metainfo}.in ${_out}/${_metainfo} @ONLY)
    configure_file(${_data}/copyright.in ${_out}/copyright @ONLY)
    configure_file(${_data}/dwellmark.1.in ${_out}/man/dwellmark.1 @ONLY)
    configure_file(${_data}/changelog ${_out}/doc/changelog COPYONLY)
    # Debian wants both compressed, without a name or time stamp in the header.
    set(_gzipped)
    foreach(_doc man/dwellmark.1 doc/changelog)
        add_custom_command(
            OUTPUT ${_out}/${_doc}.gz
            COMMAND gzip -9nkf ${_out}/${_doc}
            DEPENDS ${_out}/${_doc})
        list(APPEND _gzipped ${_out}/${_doc}.gz)
    endforeach()
    add_custom_target(dwellmark_docs DEPENDS ${_gzipped})
    add_dependencies(dwellmark dwellmark_docs)
    install(FILES ${_out}/${_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${_out}/man/dwellmark.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${_out}/copyright ${_out}/doc/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dwellmark)

    # The Debian package (`cpack -G DEB` in a build folder, or scripts/package).
    include(${PROJECT_SOURCE_DIR}/cmake/packaging.cmake)
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Dwellmark developers <${DWELLMARK_SUPPORT_EMAIL}>")
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Loaded at run time, so not found among the libraries the program links.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, fonts-liberation")
    # The maintainer script points GNOME Shell at the variant of the extension
    # that it loads, again whenever GNOME Shell changes (the trigger).
    set(DWELLMARK_CHOOSE_EXTENSION /usr/${CMAKE_INSTALL_LIBEXECDIR}/dwellmark/choose-gnome-extension)
    set(DWELLMARK_DATADIR /usr/${CMAKE_INSTALL_DATADIR})
    configure_file(${_data}/debian/postinst.in ${PROJECT_BINARY_DIR}/debian/postinst @ONLY)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/postinst ${_data}/debian/triggers)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    include(CPack)
endfunction()
