# What users get: on Windows a ZIP release archive with the program and its readme, elsewhere a
# Debian package of the Qt wizard. `cmake --build --preset <preset> --target package` makes either.
set(ALMANORIA_DEB_PACKAGE_NAME almanoria-year2012)
set(ALMANORIA_APP_ID org.almanoria.year2012)
set(ALMANORIA_PACKAGE_CONTACT "Almanoria <calendar@almanoria.example>"
    CACHE STRING "Maintainer of the Debian package")

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "Almanoria")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Writes the ${ALMANORIA_YEAR} liturgical year into the Almanoria desktop calendar")
set(CPACK_PACKAGE_CONTACT "${ALMANORIA_PACKAGE_CONTACT}")
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_ALMANORIA_SOURCE_DIR "${PROJECT_SOURCE_DIR}")
# Fixed times and order, so that two builds of one commit give the same package.
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/PackageTimes.cmake")
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/PackageTimes.cmake")

if(WIN32)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/ReadMe.txt.in ReadMe.txt
                   @ONLY NEWLINE_STYLE WIN32)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ReadMe.txt DESTINATION .)

    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-win32")
elseif(NOT ALMANORIA_YEAR EQUAL 2012)
    # The Debian package is the 2012 build, whose program writes any year with --year.
    message(STATUS "No package target: the Debian package is built for 2012")
    return()
else()
    set(packaging ${PROJECT_SOURCE_DIR}/packaging/linux)
    set(docdir ${CMAKE_INSTALL_DATADIR}/doc/${ALMANORIA_DEB_PACKAGE_NAME})
    install(FILES ${packaging}/${ALMANORIA_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${packaging}/${ALMANORIA_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 16 32 48)
        install(FILES ${PROJECT_SOURCE_DIR}/window/qt/artwork/calendar${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME ${ALMANORIA_APP_ID}.png)
    endforeach()
    configure_file(${packaging}/copyright copyright @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${docdir})
    # Debian wants the changelog and the manual page compressed, without a name or time in the
    # gzip header. configure_file makes CMake run again when either changes.
    configure_file(${packaging}/changelog changelog @ONLY)
    configure_file(${packaging}/AlmanoriaYear2012.1 AlmanoriaYear2012.1 COPYONLY)
    foreach(file changelog AlmanoriaYear2012.1)
        execute_process(COMMAND gzip -9 -n -c ${CMAKE_CURRENT_BINARY_DIR}/${file}
                        OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${docdir})
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/AlmanoriaYear2012.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_PACKAGE_NAME ${ALMANORIA_DEB_PACKAGE_NAME})
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION misc)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # CPack puts the summary above this.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "A two-step wizard for the calendar database of the Almanoria desktop
calendar. It carries the 366 days of 2012 inside itself, writes each
day's liturgical colour and notes into the calendar and turns each named
day into an all-day event, never adding one twice.")
    # The libraries the program links, as dpkg-shlibdeps reads them from the binary.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    set(CPACK_STRIP_FILES ON)
endif()

include(CPack)
