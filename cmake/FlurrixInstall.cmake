# Installing on Linux (cmake --install, and the Debian package made from it).
#   PREFIX/libexec/flurrix/  the program, the engine library and data/ (a link into share/): the
#                            program's own folder, where it finds both when installed
#   PREFIX/bin/flurrix       a link to the program
#   PREFIX/share/flurrix/data/             the content
#   PREFIX/libexec/xscreensaver/flurrix    a link to the program, where XScreenSaver finds hacks
#   PREFIX/share/xscreensaver/config/      the hack's description for xscreensaver-settings
#   PREFIX/share/applications/, icons/     the settings' menu entry and its icon
#   PREFIX/share/man/man1/, doc/flurrix/   the manual page, the licence and the change log
#   PREFIX/share/gnome-shell/extensions/flurrix@flurrix.example.com/
#                            the GNOME Shell extension that starts the run on GNOME, with its
#                            settings schema compiled
include(GNUInstallDirs)
set(FLURRIX_PROGRAM_DIR libexec/flurrix)

install(TARGETS flurrix RUNTIME DESTINATION ${FLURRIX_PROGRAM_DIR})
install(TARGETS flurrix_engine LIBRARY DESTINATION ${FLURRIX_PROGRAM_DIR}
        NAMELINK_SKIP)
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/flurrix/data)

# Relative links, so that the installed tree works wherever DESTDIR puts it.
function(flurrix_install_link target link)
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\")
    get_filename_component(dir \"\${link}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${dir}\")
    file(CREATE_LINK \"${target}\" \"\${link}\" SYMBOLIC)
    message(STATUS \"Installing link: \${link} -> ${target}\")")
endfunction()
flurrix_install_link(../../share/flurrix/data ${FLURRIX_PROGRAM_DIR}/data)
flurrix_install_link(../${FLURRIX_PROGRAM_DIR}/flurrix bin/flurrix)
flurrix_install_link(../flurrix/flurrix libexec/xscreensaver/flurrix)

set(res ${CMAKE_SOURCE_DIR}/res/linux)
install(FILES ${res}/flurrix.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/xscreensaver/config)
install(FILES ${res}/flurrix.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${res}/flurrix.svg DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${res}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/flurrix)
# The GNOME Shell extension: one folder that every GNOME from 42 loads (see its saver.js), and its
# settings schema compiled beside it, where the extension looks for it.
find_program(FLURRIX_COMPILE_SCHEMAS glib-compile-schemas REQUIRED)
set(extension_uuid flurrix@flurrix.example.com)
set(extension_source ${res}/gnome-extension)
set(extension_schemas ${CMAKE_BINARY_DIR}/gnome-extension/schemas)
file(GLOB extension_schema_files ${extension_source}/schemas/*.gschema.xml)
add_custom_command(OUTPUT ${extension_schemas}/gschemas.compiled
  COMMAND ${FLURRIX_COMPILE_SCHEMAS} --strict --targetdir=${extension_schemas}
          ${extension_source}/schemas
  DEPENDS ${extension_schema_files}
  COMMENT "Compiling the GNOME Shell extension's settings schema"
  VERBATIM)
add_custom_target(flurrix_gnome_extension ALL DEPENDS ${extension_schemas}/gschemas.compiled)
set(extension_dir ${CMAKE_INSTALL_DATAROOTDIR}/gnome-shell/extensions/${extension_uuid})
install(DIRECTORY ${extension_source}/ DESTINATION ${extension_dir})
install(FILES ${extension_schemas}/gschemas.compiled DESTINATION ${extension_dir}/schemas)

# Debian keeps the change log and manual pages compressed, byte for byte the same in every build.
function(flurrix_compressed source output)
  add_custom_command(OUTPUT ${output} COMMAND gzip -9nc ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
set(manual ${CMAKE_BINARY_DIR}/flurrix.1.gz)
flurrix_compressed(${res}/changelog ${changelog})
flurrix_compressed(${res}/flurrix.1 ${manual})
add_custom_target(flurrix_compressed_docs ALL DEPENDS ${changelog} ${manual})
install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/flurrix)

# The Debian package: scripts/package-deb.sh runs cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME flurrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Flurrix developers <support@flurrix.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D snowfall screensaver")
set(CPACK_PACKAGE_DESCRIPTION "Snow falls, sways in a wandering wind and drifts towards the viewer in front
of a slide show of winter pictures, the desktop, a plain colour, gradients or
the user's own pictures, with optional clocks, a month calendar, a foreground
picture and text, and music. It runs as an XScreenSaver display mode and has
a settings dialog of its own.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://flurrix.example.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program opens at run time, which dpkg-shlibdeps cannot see: SDL2 loads the OpenGL and
# EGL libraries and the Mesa driver behind them (without them nothing is drawn); the music plays
# through GStreamer's playbin and decoders (without them the run is silent).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1, libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
