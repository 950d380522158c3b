# Windows builds (MinGW-w64): static runtime so the program and the test executables run
# without any DLL of the toolchain beside them; tests run under Wine in the build folder's
# own prefix.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                        _WIN32_WINNT=0x0501 WINVER=0x0501)
add_link_options(-static -static-libgcc -static-libstdc++)
set(KESTRAVA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_SOURCE_DIR}/scripts/wine-exec;${KESTRAVA_WINEPREFIX})
find_package(ZLIB REQUIRED)

# Embeds the application manifest (compatibility entries so that the version query tells the
# truth) into a Windows executable. The program itself adds requireAdministrator.
function(kestrava_test_manifest target)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine/test_manifest.rc)
endfunction()
