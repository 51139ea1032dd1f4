# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's icon as PNG files of given sizes, rendered from the scalable app/tabulon2x2.svg
# at build time (rsvg-convert, Debian librsvg2-bin), so every size is drawn sharp.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

# Sets out_var to the PNG files of the sizes given, in the build folder.
function(tabulon_render_icons out_var)
    set(files)
    foreach(size IN LISTS ARGN)
        set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/tabulon2x2-${size}.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons
            COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${PROJECT_SOURCE_DIR}/app/tabulon2x2.svg
            DEPENDS ${PROJECT_SOURCE_DIR}/app/tabulon2x2.svg
            VERBATIM)
        list(APPEND files ${png})
    endforeach()
    set(${out_var} ${files} PARENT_SCOPE)
endfunction()
