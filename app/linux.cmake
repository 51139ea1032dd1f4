# Installed layout: the program in bin/, the help page in share/tabulon2x2/ (help reads
# it from the working directory, so the launcher starts the program there), the
# launcher, the icons and the manual page where desktops and man look for them.
install(TARGETS tabulon2x2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES readme.html DESTINATION ${CMAKE_INSTALL_DATADIR}/tabulon2x2)
install(FILES tabulon2x2.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(icon_sizes 48 64 128)
tabulon_render_icons(icons ${icon_sizes})
add_custom_target(tabulon_icons ALL DEPENDS ${icons})
foreach(size png IN ZIP_LISTS icon_sizes icons)
    install(FILES ${png} RENAME tabulon2x2.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# The launcher names absolute paths, so it is written at install time, when the
# prefix given to cmake --install (or to the package) is known.
install(CODE "
    set(bindir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    set(datadir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/tabulon2x2\")
    set(entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/tabulon2x2.desktop\")
    message(STATUS \"Installing: \${entry}\")
    configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/tabulon2x2.desktop.in\" \"\${entry}\" @ONLY)
")

install(FILES tabulon2x2.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
