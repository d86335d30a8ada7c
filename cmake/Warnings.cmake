# Warnings for every target of ours; third-party headers come in as system headers.
add_library(folyant_warnings INTERFACE)
target_compile_options(folyant_warnings INTERFACE
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
  -Wconversion -Wsign-conversion -Wno-sign-conversion)
if(FOLYANT_WERROR)
  target_compile_options(folyant_warnings INTERFACE -Werror)
endif()
if(FOLYANT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(FOLYANT_LIBFUZZER)
  # Everything is instrumented for coverage; only the fuzz targets get libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
