# Installed layout: the program in bin/, the help page in share/tabulon2x2/ (help reads
# it from the working directory, so the launcher starts the program there), the
# launcher and the icons where desktops look for them.
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

# The manual page and the changelog, compressed as Debian wants them: gzip -9n stores no
# name or date, so the same text always gives the same bytes.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in changelog @ONLY)
foreach(text ${PROJECT_SOURCE_DIR}/packaging/tabulon2x2.1 ${CMAKE_CURRENT_BINARY_DIR}/changelog)
    get_filename_component(name ${text} NAME)
    set(gz ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${gz} COMMAND gzip -9n -c ${text} > ${gz} DEPENDS ${text})
    list(APPEND compressed ${gz})
endforeach()
add_custom_target(tabulon_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tabulon2x2.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tabulon2x2)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides RENAME tabulon2x2
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)
