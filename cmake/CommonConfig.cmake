# One interface target carries the language level and warnings for every target.
add_library(torvel_config INTERFACE)
target_compile_features(torvel_config INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(torvel_config INTERFACE -Wall -Wextra -Wold-style-cast)
# GCC 12 reports std::string concatenations as overlapping copies (GCC bug 105329), a false alarm.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(torvel_config INTERFACE -Wno-restrict)
endif()
target_compile_definitions(torvel_config INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
if(TORVEL_SANITIZE)
  target_compile_options(torvel_config INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_link_options(torvel_config INTERFACE -fsanitize=address,undefined)
endif()
# libFuzzer steers by coverage of the code under test, so everything is instrumented;
# only the fuzz targets link the fuzzer's main (tests/fuzz).
if(TORVEL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TORVEL_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++); without it the fuzz targets replay their corpus")
  endif()
  target_compile_options(torvel_config INTERFACE -fsanitize=fuzzer-no-link)
endif()
if(TORVEL_COVERAGE)
  target_compile_options(torvel_config INTERFACE --coverage)
  target_link_options(torvel_config INTERFACE --coverage)
endif()
