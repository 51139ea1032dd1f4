# The Windows program: an .ico made from the scalable icon and version information in its
# resources, and an installed layout that is a runnable folder: the program, its help page,
# the Qt libraries and plugins it loads and the MinGW runtime, side by side.
find_program(ICOTOOL icotool REQUIRED)
tabulon_render_icons(pngs 16 24 32 48 256)
list(POP_BACK pngs png256)
set(ICON_FILE ${CMAKE_CURRENT_BINARY_DIR}/tabulon2x2.ico)
add_custom_command(OUTPUT ${ICON_FILE}
    COMMAND ${ICOTOOL} -c -o ${ICON_FILE} ${pngs} --raw=${png256}
    DEPENDS ${pngs} ${png256}
    VERBATIM)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tabulon2x2.rc.in ${CMAKE_CURRENT_BINARY_DIR}/tabulon2x2.rc @ONLY)
target_sources(tabulon2x2 PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/tabulon2x2.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/tabulon2x2.rc
    PROPERTIES OBJECT_DEPENDS ${ICON_FILE})

install(TARGETS tabulon2x2 RUNTIME DESTINATION .)
install(FILES readme.html DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
# The style Qt 6.8 gives Windows 10 and 11.
install(FILES $<TARGET_FILE:Qt6::QModernWindowsStylePlugin> DESTINATION styles)
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${runtime}")
        message(FATAL_ERROR "The MinGW runtime ${dll} was not found")
    endif()
    install(FILES ${runtime} DESTINATION .)
endforeach()
