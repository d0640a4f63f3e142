# Copies the page's files that carry the window's colour (FILES, comma-separated) from SOURCE to
# DIR, with @THEME_COLOUR@ the window's own colour as the game's tables (TABLES) give it.
cmake_minimum_required(VERSION 3.25)
file(READ ${TABLES} tables)
string(JSON THEME_COLOUR GET "${tables}" window colour)
string(REPLACE "," ";" files "${FILES}")
foreach(file IN LISTS files)
    configure_file(${SOURCE}/${file} ${DIR}/${file} @ONLY)
endforeach()
