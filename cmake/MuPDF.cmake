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

# MuPDF's AES and SHA-2 run in portable C, and every protected file it opens
# costs hardened hashes of thousands of rounds: in every program that links
# MuPDF, MuPDF's own calls to them go to Nettle's (AES-NI, SHA-NI) through
# the linker's --wrap. The objects go on the link line itself, as MuPDF's
# archive is searched after the libraries that would hold them.
pkg_check_modules(NETTLE REQUIRED IMPORTED_TARGET nettle)
add_library(mupdf_nettle_crypto OBJECT "${PROJECT_SOURCE_DIR}/converter/core/MuPdfNettleCrypto.cpp")
target_include_directories(mupdf_nettle_crypto SYSTEM PRIVATE "${MUPDF_INCLUDE_DIR}")
target_link_libraries(mupdf_nettle_crypto PRIVATE PkgConfig::NETTLE folyant_warnings)
# Named as well as its objects: the name makes the objects be built first.
target_link_libraries(MuPDF::mupdf INTERFACE mupdf_nettle_crypto $<TARGET_OBJECTS:mupdf_nettle_crypto> PkgConfig::NETTLE)
set(mupdf_wrapped fz_aes_setkey_enc fz_aes_setkey_dec fz_aes_crypt_cbc fz_sha256_init fz_sha256_update
  fz_sha256_final fz_sha384_init fz_sha384_update fz_sha384_final fz_sha512_init fz_sha512_update fz_sha512_final)
list(TRANSFORM mupdf_wrapped PREPEND "LINKER:--wrap=")
target_link_options(MuPDF::mupdf INTERFACE ${mupdf_wrapped})
