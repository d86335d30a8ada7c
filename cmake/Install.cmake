# The installation layout: programs in bin/, the backend in CUPS' backend
# folder (root, 0700, so that CUPS runs it as root and it can act as the
# job's user), the suite's Ghostscript lib folder and printer description
# under share/, and the machine settings that name them.
set(FOLYANT_CUPS_BACKEND_DIR "/usr/lib/cups/backend" CACHE PATH "CUPS' backend folder")
set(FOLYANT_CUPS_FILTER_DIR "/usr/lib/cups/filter" CACHE PATH "CUPS' filter folder")
set(FOLYANT_INSTALLED_LIB "${CMAKE_INSTALL_FULL_DATAROOTDIR}/folyant/lib")

install(TARGETS Folyant_Standard zevConverter prninstall prnremove cidfmapgen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Loaded by name, never linked: a private folder, not the linker's.
install(TARGETS Setupkit Facepaste Folyant_Standard_dialogs zevConverter_dialogs LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/folyant)
install(TARGETS folyant-backend RUNTIME DESTINATION ${FOLYANT_CUPS_BACKEND_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
install(PROGRAMS backend/folyant-pdftopdf DESTINATION ${FOLYANT_CUPS_FILTER_DIR})
install(FILES data/zev.ps data/FontList.lst DESTINATION ${FOLYANT_INSTALLED_LIB})
install(FILES data/FolyDrv.ppd DESTINATION ${FOLYANT_PPD_FOLDER})
# Menu entries for the two dialogs a user starts by hand, with the programs' icon.
install(FILES data/desktop/zevConverter.desktop data/desktop/Folyant_Standard.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES data/folyant.xpm DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/pixmaps RENAME folyant-velmo.xpm)

folyant_ini_quote(FOLYANT_CONF_LIB "${FOLYANT_INSTALLED_LIB}")
configure_file(data/machine-settings.conf.in "${CMAKE_BINARY_DIR}/installed/Folyant Velmo.conf" @ONLY)
if(FOLYANT_DEBIAN_PACKAGE)
  # The package's postinst copies the template into /etc (a file name with a
  # blank cannot be a dpkg conffile) and its purge removes it.
  install(FILES "${CMAKE_BINARY_DIR}/installed/Folyant Velmo.conf" DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/folyant
          RENAME machine-settings.conf)
else()
  install(FILES "${CMAKE_BINARY_DIR}/installed/Folyant Velmo.conf" DESTINATION ${FOLYANT_INSTALLED_SYSCONFDIR}/Quorvale)
endif()
