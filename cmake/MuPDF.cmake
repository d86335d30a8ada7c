# MuPDF as Debian ships it: static libraries and the libraries they need.
find_path(MUPDF_INCLUDE_DIR mupdf/fitz.h REQUIRED)
find_library(MUPDF_LIBRARY NAMES libmupdf.a mupdf REQUIRED)
find_library(MUPDF_THIRD_LIBRARY NAMES libmupdf-third.a mupdf-third REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(MUPDF_DEPS REQUIRED IMPORTED_TARGET freetype2 harfbuzz libopenjp2 jbig2dec zlib libjpeg)
find_library(MUJS_LIBRARY mujs REQUIRED)
find_library(GUMBO_LIBRARY gumbo REQUIRED)
add_library(MuPDF::mupdf INTERFACE IMPORTED)
target_include_directories(MuPDF::mupdf SYSTEM INTERFACE "${MUPDF_INCLUDE_DIR}")
target_link_libraries(MuPDF::mupdf INTERFACE
  "${MUPDF_LIBRARY}" "${MUPDF_THIRD_LIBRARY}" "${MUJS_LIBRARY}" "${GUMBO_LIBRARY}" PkgConfig::MUPDF_DEPS m)
