# Copies one of the page's files from SOURCE to OUTPUT with each @a.b.c@ in it replaced by that
# field of the game's tables (TABLES), so that a fact of the model (its name, the window's colour,
# the caption face's page name ...) is written in the model alone.
cmake_minimum_required(VERSION 3.25)
file(READ ${TABLES} tables)
file(READ ${SOURCE} text)
string(REGEX MATCHALL "@[A-Za-z]+(\\.[A-Za-z0-9]+)+@" fields "${text}")
foreach(field IN LISTS fields)
    string(REGEX REPLACE "[@.]" ";" path "${field}")
    string(JSON value GET "${tables}" ${path}) # the list's empty ends drop out
    # The files are HTML, CSS, JSON and JavaScript: a fact must need no escaping in any of them.
    if(value MATCHES "[<>&\"'\\\\]")
        message(FATAL_ERROR "${SOURCE}: ${field} is \"${value}\", which a page file cannot hold as it stands")
    endif()
    string(REPLACE "${field}" "${value}" text "${text}")
endforeach()
file(WRITE ${OUTPUT} "${text}")
