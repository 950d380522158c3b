# Packing the program file: the sample driver tree the build packs, the packer on the build
# machine, and kestrava_pack_program(), which appends the payload to a linked image.
#
# The build packs stand-ins (SampleDriverTree.cmake); a release packs the real driver folders
# with the same packer (README, "Packing a release").
set(KESTRAVA_PAYLOAD_VERSION "8.11.25.825" CACHE STRING "Version text of the packed payload")
set(KESTRAVA_PLATFORMS "Windows ARM64" "Windows NT x86" "Windows x64")
set(KESTRAVA_SAMPLE_DRIVER_TREE ${CMAKE_BINARY_DIR}/sample-driver-tree)
set(KESTRAVA_SAMPLE_DRIVER_STAMP ${CMAKE_BINARY_DIR}/sample-driver-tree.stamp)

add_custom_command(OUTPUT ${KESTRAVA_SAMPLE_DRIVER_STAMP}
  COMMAND ${CMAKE_COMMAND} -DDESTINATION=${KESTRAVA_SAMPLE_DRIVER_TREE}
          -P ${CMAKE_CURRENT_LIST_DIR}/SampleDriverTree.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${KESTRAVA_SAMPLE_DRIVER_STAMP}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/SampleDriverTree.cmake
  COMMENT "Writing the sample driver tree (stand-ins, no driver files)"
  VERBATIM)
add_custom_target(kestrava_sample_driver_tree ALL DEPENDS ${KESTRAVA_SAMPLE_DRIVER_STAMP})

if(WIN32)
  # The packer runs on the build machine: a project of its own, built with the native compiler.
  include(ExternalProject)
  set(KESTRAVA_PACK_BINARY_DIR ${CMAKE_BINARY_DIR}/host-tools/pack)
  set(KESTRAVA_PACK ${KESTRAVA_PACK_BINARY_DIR}/kestrava-pack)
  ExternalProject_Add(kestrava_pack_host
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/pack
    PREFIX ${CMAKE_BINARY_DIR}/host-tools
    BINARY_DIR ${KESTRAVA_PACK_BINARY_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target kestrava-pack --parallel 1
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${KESTRAVA_PACK}
    INSTALL_COMMAND "")
  set(KESTRAVA_PACK_TARGET kestrava_pack_host)
  set(KESTRAVA_PACK_DEPENDS ${KESTRAVA_PACK})
else()
  add_subdirectory(tools/pack)
  set(KESTRAVA_PACK $<TARGET_FILE:kestrava-pack>)
  set(KESTRAVA_PACK_TARGET kestrava-pack)
  set(KESTRAVA_PACK_DEPENDS kestrava-pack)
endif()

# kestrava_pack_program(NAME IMAGE target): a target NAME (built by default) that writes
# NAME.exe into the current binary folder: the image linked by `target` with the sample driver
# tree packed behind it. The target's PACKED_FILE property holds the path of NAME.exe.
function(kestrava_pack_program name)
  cmake_parse_arguments(P "" "IMAGE" "" ${ARGN})
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}.exe)
  set(platform_args)
  foreach(platform IN LISTS KESTRAVA_PLATFORMS)
    list(APPEND platform_args --platform "${platform}=${KESTRAVA_SAMPLE_DRIVER_TREE}/${platform}")
  endforeach()
  add_custom_command(OUTPUT ${output}
    COMMAND ${KESTRAVA_PACK} pack --program $<TARGET_FILE:${P_IMAGE}> --output ${output}
            --version ${KESTRAVA_PAYLOAD_VERSION} ${platform_args}
    DEPENDS ${P_IMAGE} ${KESTRAVA_PACK_DEPENDS} ${KESTRAVA_SAMPLE_DRIVER_STAMP}
    COMMENT "Packing the sample driver tree into ${name}.exe"
    VERBATIM)
  add_custom_target(${name} ALL DEPENDS ${output})
  add_dependencies(${name} kestrava_sample_driver_tree ${KESTRAVA_PACK_TARGET})
  set_target_properties(${name} PROPERTIES PACKED_FILE ${output})
endfunction()
