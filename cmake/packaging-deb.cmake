# The installed layout on Linux and the Debian package (`cpack -G DEB` in a
# build folder, or scripts/package). Included by dwellmark_os_program() of
# cmake/os/linux.cmake once src/ has made its targets.
set(_data ${PROJECT_SOURCE_DIR}/data)
set(_gnome ${_data}/gnome-shell)

# The KWin script and GNOME Shell's extension (built by data/linux.cmake); the
# link GNOME Shell follows points at the variant it loads.
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

# The Debian package.
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
