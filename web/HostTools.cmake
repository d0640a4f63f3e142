# What the WebAssembly build takes from elsewhere: the build-time tools of a native build, the
# header-only number libraries, and giflib compiled from its Debian source.
if(NOT NAMORO_HOST_BUILD OR NOT NAMORO_GIFLIB_SOURCE)
    message(FATAL_ERROR "set NAMORO_HOST_BUILD (a native build) and NAMORO_GIFLIB_SOURCE; `make web` does")
endif()
foreach(tool layoutc cp932-table)
    add_executable(${tool} IMPORTED)
endforeach()
set_target_properties(layoutc PROPERTIES IMPORTED_LOCATION ${NAMORO_HOST_BUILD}/tools/layoutc)
set_target_properties(cp932-table PROPERTIES IMPORTED_LOCATION ${NAMORO_HOST_BUILD}/tools/cp932-table/cp932-table)
set(NAMORO_GAME_TABLES ${NAMORO_HOST_BUILD}/tools/game-tables/game-tables.json)

# Only these two folders of the host's headers: emscripten's sysroot has the rest.
set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${host_headers})
foreach(dir fmt fast_float)
    file(CREATE_LINK /usr/include/${dir} ${host_headers}/${dir} SYMBOLIC)
endforeach()
set(NAMORO_FMT_INCLUDE ${host_headers} CACHE PATH "" FORCE)
set(NAMORO_FAST_FLOAT_INCLUDE ${host_headers} CACHE PATH "" FORCE)

enable_language(C)
add_library(namoro_giflib STATIC
    ${NAMORO_GIFLIB_SOURCE}/dgif_lib.c ${NAMORO_GIFLIB_SOURCE}/egif_lib.c ${NAMORO_GIFLIB_SOURCE}/gifalloc.c
    ${NAMORO_GIFLIB_SOURCE}/gif_err.c ${NAMORO_GIFLIB_SOURCE}/gif_hash.c
    ${NAMORO_GIFLIB_SOURCE}/openbsd-reallocarray.c)
target_include_directories(namoro_giflib SYSTEM PUBLIC ${NAMORO_GIFLIB_SOURCE})
target_compile_options(namoro_giflib PRIVATE -w)
add_library(GIF::GIF ALIAS namoro_giflib)
