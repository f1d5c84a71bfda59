# The Debian package: `make package` (cpack -G DEB) writes quorvel_<version>_<arch>.deb into the
# build folder. Everything installed goes in, so the firmware's .hex comes along wherever
# firmware/ installs it, and the package is still whole without it.
include(GNUInstallDirs)

set(QUORVEL_APP_ID org.quorvel.ToolBox)
set(QUORVEL_HOMEPAGE "https://quorvel.org/" CACHE STRING "Homepage named by the package")
set(QUORVEL_PACKAGE_MAINTAINER "Quorvel Graphic LCD ToolBox authors <maintainers@quorvel.org>"
    CACHE STRING "Maintainer named by the package")

install(FILES dist/${QUORVEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog are installed gzipped, as Debian ships them: -n leaves the name
# and time out of the header, so the same source gives the same bytes.
find_program(QUORVEL_GZIP gzip)
set(QUORVEL_PACKAGE_DOCS)
if(QUORVEL_GZIP)
    set(zipped_dir ${PROJECT_BINARY_DIR}/dist)
    set(man_pages quorvel quorvel-convert quorvel-picsim)
    foreach(page ${man_pages})
        add_custom_command(OUTPUT ${zipped_dir}/${page}.1.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${zipped_dir}
            COMMAND ${QUORVEL_GZIP} -9nc ${PROJECT_SOURCE_DIR}/dist/man/${page}.1 > ${zipped_dir}/${page}.1.gz
            DEPENDS ${PROJECT_SOURCE_DIR}/dist/man/${page}.1
            VERBATIM)
        list(APPEND QUORVEL_PACKAGE_DOCS ${zipped_dir}/${page}.1.gz)
        install(FILES ${zipped_dir}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endforeach()
    add_custom_command(OUTPUT ${zipped_dir}/changelog.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${zipped_dir}
        COMMAND ${QUORVEL_GZIP} -9nc ${PROJECT_SOURCE_DIR}/dist/debian/changelog > ${zipped_dir}/changelog.gz
        DEPENDS ${PROJECT_SOURCE_DIR}/dist/debian/changelog
        VERBATIM)
    list(APPEND QUORVEL_PACKAGE_DOCS ${zipped_dir}/changelog.gz)
    install(FILES ${zipped_dir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvel)
    add_custom_target(quorvel-docs ALL DEPENDS ${QUORVEL_PACKAGE_DOCS})
endif()
install(FILES dist/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "The Quorvel Graphic LCD ToolBox authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUORVEL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "graphic LCD picture converter and PIC serial loader")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvel Graphic LCD ToolBox is a desktop tool for monochrome graphic LCDs
(KS0108, T6963C, SED1330 controllers) driven from a PIC microcontroller.
Draw, write text or import a picture at one of eight panel sizes, convert it
to the byte matrix the controller expects, write it as hex text or export a
C, PROGMEM, assembler or BASIC table, or stream it over a serial port to the
PIC or into an I2C EEPROM on its board.

The package also holds quorvel-convert, the same conversions from the
command line, quorvel-picsim, a virtual PIC with its LCD on a
pseudo-terminal, and the reference PIC firmware.")
set(CPACK_PACKAGE_FILE_NAME quorvel) # replaced by the Debian name below
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUORVEL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUORVEL_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 0)
include(CPack)
