# Run by CPack before it builds the package: strips the installed program as dh_strip does,
# of its symbols and of the .comment and .note sections, which only describe the build.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
foreach(program IN LISTS programs)
    execute_process(COMMAND strip --remove-section=.comment --remove-section=.note
        --strip-unneeded ${program} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
