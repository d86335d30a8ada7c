# The Debian package: `scripts/build-deb.sh` configures a build with
# FOLYANT_DEBIAN_PACKAGE=ON and prefix /usr, and runs CPack on it.
option(FOLYANT_DEBIAN_PACKAGE "Lay the installation out for the Debian package" OFF)
if(NOT FOLYANT_DEBIAN_PACKAGE)
  return()
endif()
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "The Debian package is built with CMAKE_INSTALL_PREFIX=/usr")
endif()

set(FOLYANT_DEB_DOC "${CMAKE_INSTALL_DATAROOTDIR}/doc/folyant-velmo")
install(FILES data/debian/copyright DESTINATION ${FOLYANT_DEB_DOC})
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/man")
foreach(page Folyant_Standard.1 zevConverter.1 folyant-session.1 prninstall.8 prnremove.8 cidfmapgen.8 folyant-velmo.7)
  string(REGEX REPLACE ".*\\." "" section "${page}")
  execute_process(COMMAND gzip -9nc "${PROJECT_SOURCE_DIR}/data/man/${page}"
                  OUTPUT_FILE "${CMAKE_BINARY_DIR}/man/${page}.gz" COMMAND_ERROR_IS_FATAL ANY)
  install(FILES "${CMAKE_BINARY_DIR}/man/${page}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()
execute_process(COMMAND gzip -9nc "${PROJECT_SOURCE_DIR}/data/debian/changelog"
                OUTPUT_FILE "${CMAKE_BINARY_DIR}/changelog.gz" COMMAND_ERROR_IS_FATAL ANY)
install(FILES "${CMAKE_BINARY_DIR}/changelog.gz" DESTINATION ${FOLYANT_DEB_DOC})
# The queue's care over the package's life, and what runs it when cupsd
# starts: a unit ordered after cups.service, and an init script where
# systemd does not run the boot (the same name, so that systemd ignores it).
install(PROGRAMS data/debian/folyant-velmo-queue DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/folyant-velmo)
install(FILES data/debian/folyant-velmo.service DESTINATION /lib/systemd/system)
install(PROGRAMS data/debian/folyant-velmo.init DESTINATION /etc/init.d RENAME folyant-velmo)
# The package's own settings (a shared printer), kept over upgrades as a conffile.
install(FILES data/debian/default DESTINATION /etc/default RENAME folyant-velmo)
install(FILES data/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        RENAME folyant-velmo)

set(CPACK_GENERATOR DEB)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME folyant-velmo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "The Folyant Velmo developers <folyant-velmo@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "virtual PDF printer with a stamp on every page")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Folyant Velmo adds the printer \"Folyant Velmo\" to CUPS. Whatever is
printed to it, PostScript or PDF, becomes a PDF in the user's ~/PDF folder,
stamped on every page, optionally protected with passwords, mailed or opened.

zevConverter turns a Word, RTF, Excel, PowerPoint or HWP document into a PDF
in one command by printing it through LibreOffice to the virtual printer.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries: the daemon that runs the backend, the filters that
# bring PDF, text and images to it (pdfinfo: a PDF job keeps its page size),
# Qt's window-system plugins for the dialogs.
# init-system-helpers: the maintainer scripts register the unit and the init
# script with its tools; adduser: they make the AnonymousFolder's account.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "cups-daemon, cups-client, cups-filters, poppler-utils, qt6-qpa-plugins, init-system-helpers (>= 1.54~), adduser")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-nanum, fonts-ipafont-gothic, fonts-ipafont-mincho, xdg-utils, libreoffice-writer, libreoffice-calc, libreoffice-impress")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${PROJECT_SOURCE_DIR}/data/debian/postinst;${PROJECT_SOURCE_DIR}/data/debian/prerm;${PROJECT_SOURCE_DIR}/data/debian/postrm;${PROJECT_SOURCE_DIR}/data/debian/conffiles")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
