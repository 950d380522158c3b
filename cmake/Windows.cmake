# Windows builds (MinGW-w64): static runtime so the program and the test executables run
# without any DLL of the toolchain beside them; tests run under Wine in the build folder's
# own prefix.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                        _WIN32_WINNT=0x0501 WINVER=0x0501)
add_link_options(-static -static-libgcc -static-libstdc++)
set(KESTRAVA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_SOURCE_DIR}/scripts/wine-exec;${KESTRAVA_WINEPREFIX})
# zlib from its static archive: a clean Windows has no zlib1.dll, and a program that imports
# one does not start there (Wine ships its own, so only the import test tells).
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

# Embeds the application manifest (compatibility entries so that the version query tells the
# truth) into a Windows executable. The program itself adds requireAdministrator.
function(kestrava_test_manifest target)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine/test_manifest.rc)
endfunction()
