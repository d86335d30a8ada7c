# libgs and the folder of Ghostscript's own resources (CMaps, CIDFonts, Init).
find_path(GHOSTSCRIPT_INCLUDE_DIR ghostscript/iapi.h REQUIRED)
find_library(GHOSTSCRIPT_LIBRARY NAMES gs REQUIRED)
add_library(Ghostscript::gs UNKNOWN IMPORTED)
set_target_properties(Ghostscript::gs PROPERTIES
  IMPORTED_LOCATION "${GHOSTSCRIPT_LIBRARY}"
  INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${GHOSTSCRIPT_INCLUDE_DIR}")

# The font folder we configure must be the sibling "fonts" of Ghostscript's
# real Resource folder: the interpreter's resource folder is derived from it
# by replacing "fonts" with "Resource/".
file(GLOB _gs_init_files "/usr/share/ghostscript/*/Resource/Init/gs_init.ps")
list(SORT _gs_init_files COMPARE NATURAL ORDER DESCENDING)
list(GET _gs_init_files 0 _gs_init)
if(NOT _gs_init)
  message(FATAL_ERROR "Ghostscript's Resource folder was not found (package libgs-common)")
endif()
get_filename_component(_gs_resource "${_gs_init}/../.." ABSOLUTE)
get_filename_component(GHOSTSCRIPT_VERSION_DIR "${_gs_resource}/.." ABSOLUTE)
set(GHOSTSCRIPT_FONT_FOLDER "${GHOSTSCRIPT_VERSION_DIR}/fonts" CACHE PATH
    "Font folder whose sibling Resource folder is Ghostscript's")
