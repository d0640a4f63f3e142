# Run by cpack on the staged package before it is archived: every directory gets mode 0755.
# install() makes directories under the builder's umask, which would otherwise end up in the
# package (CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS cannot loosen what the umask takes away).
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(entry IN LISTS entries)
    if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
        file(CHMOD "${entry}" DIRECTORY_PERMISSIONS
             OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
endforeach()
