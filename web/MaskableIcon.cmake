# Draws the installed app's maskable icon with TOOL: the program's icon (ICON) enlarged to SIZE
# in the middle of a CANVAS-pixel square of the window's colour from the game's tables (TABLES),
# so that whatever shape a launcher cuts keeps the whole icon on the game's own lavender.
cmake_minimum_required(VERSION 3.25)
file(READ ${TABLES} tables)
string(JSON colour GET "${tables}" window form colour)
execute_process(COMMAND ${TOOL} ${ICON} ${OUT} ${SIZE} ${CANVAS} ${colour} COMMAND_ERROR_IS_FATAL ANY)
