# Compiler options shared by every target of the project. Targets link
# dwellmark_options instead of setting flags per directory.
add_library(dwellmark_options INTERFACE)
add_library(dwellmark::options ALIAS dwellmark_options)

target_compile_features(dwellmark_options INTERFACE cxx_std_20)

if(MSVC)
    target_compile_options(dwellmark_options INTERFACE /W4 /permissive- /utf-8)
    if(DWELLMARK_WARNINGS_AS_ERRORS)
        target_compile_options(dwellmark_options INTERFACE /WX)
    endif()
else()
    target_compile_options(dwellmark_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                       -Wno-sign-conversion -Wnon-virtual-dtor)
    if(DWELLMARK_WARNINGS_AS_ERRORS)
        target_compile_options(dwellmark_options INTERFACE -Werror)
    endif()
endif()

if(DWELLMARK_SANITIZE)
    if(MSVC)
        message(FATAL_ERROR "DWELLMARK_SANITIZE is for GCC and Clang")
    endif()
    set(_dwellmark_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_compile_options(dwellmark_options INTERFACE ${_dwellmark_san})
    target_link_options(dwellmark_options INTERFACE ${_dwellmark_san})
endif()

if(DWELLMARK_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "DWELLMARK_BUILD_FUZZERS needs clang (libFuzzer)")
    endif()
    # Coverage for libFuzzer in every library; the fuzz targets themselves link -fsanitize=fuzzer.
    target_compile_options(dwellmark_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                       -fno-omit-frame-pointer)
    target_link_options(dwellmark_options INTERFACE -fsanitize=address,undefined)
endif()
