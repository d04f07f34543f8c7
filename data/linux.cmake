# What the build makes of the data files for Linux desktops: the KWin script
# and GNOME Shell's extension, where the program and the tests find them.
# Included by cmake/os/linux.cmake; their install rules are with the package's
# (cmake/packaging-deb.cmake).

# Dwellmark's KWin script, for a KWin that does not show its windows to
# Dwellmark: looked for beside the program (a build folder), then in the data
# folder, found from the program's folder (libexec/dwellmark) by a relative
# path, as the package is installed under another prefix than the one
# configured.
set(DWELLMARK_KWIN_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/kwin/dwellmark-kwin.js)
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
set(_dwellmark_gnome ${CMAKE_CURRENT_LIST_DIR}/gnome-shell)
set(DWELLMARK_GNOME_EXTENSIONS ${PROJECT_BINARY_DIR}/gnome-shell)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_dwellmark_gnome}/focusservice.js)
file(READ ${_dwellmark_gnome}/focusservice.js FOCUS_SERVICE)
foreach(_variant 42 45)
    set(_out ${DWELLMARK_GNOME_EXTENSIONS}/${_variant}/dwellmark@dwellmark.org)
    configure_file(${_dwellmark_gnome}/${_variant}/extension.js.in ${_out}/extension.js @ONLY)
    configure_file(${_dwellmark_gnome}/${_variant}/metadata.json ${_out}/metadata.json COPYONLY)
endforeach()
unset(FOCUS_SERVICE)
unset(_dwellmark_gnome)
