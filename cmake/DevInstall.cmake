# The build tree doubles as a complete installation for development:
# build/share/folyant/lib holds the suite's Ghostscript lib folder and
# build/etc/xdg the machine settings that point at it.
set(FOLYANT_DEV_LIB "${CMAKE_BINARY_DIR}/share/folyant/lib")
set(FOLYANT_DEV_SYSCONF "${CMAKE_BINARY_DIR}/etc/xdg")

configure_file(${CMAKE_SOURCE_DIR}/data/zev.ps ${FOLYANT_DEV_LIB}/zev.ps COPYONLY)
configure_file(${CMAKE_SOURCE_DIR}/data/FontList.lst ${FOLYANT_DEV_LIB}/FontList.lst COPYONLY)

function(folyant_ini_quote out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()
folyant_ini_quote(FOLYANT_CONF_LIB "${FOLYANT_DEV_LIB}")
folyant_ini_quote(FOLYANT_CONF_FONT "${GHOSTSCRIPT_FONT_FOLDER}")
configure_file(${CMAKE_SOURCE_DIR}/data/machine-settings.conf.in
               "${FOLYANT_DEV_SYSCONF}/Quorvale/Folyant Velmo.conf" @ONLY)
