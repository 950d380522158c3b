# Writes the sample driver tree that the build packs into the program file: for each platform
# the files the program expects, as short texts that say what they stand in for. None of them
# is a driver file. A release packs the real driver folders instead (README, "Packing a
# release").
#
#   cmake -DDESTINATION=<folder> -P SampleDriverTree.cmake
#
# <folder> is emptied first and then holds one folder per platform.
if(NOT DESTINATION)
  message(FATAL_ERROR "SampleDriverTree.cmake needs -DDESTINATION=<folder>")
endif()

set(platforms "Windows ARM64" "Windows NT x86" "Windows x64")

# name|what the real file is. The names are the ones the program installs.
set(top_files
  "ReceiptDrv.dll|the driver's rendering plug-in"
  "ReceiptUI.dll|the driver's user-interface plug-in"
  "QXCHISMPL.DLL|the driver's texts in Simplified Chinese"
  "QXCHITRAD.DLL|the driver's texts in Traditional Chinese"
  "QXENGLISH.DLL|the driver's texts in English"
  "TTFSUB.GPD|the font substitution table"
  "STDNAMES.GPD|the table of standard option names"
  "UNIRES.DLL|the resources of the universal printer driver"
  "UNIDRV.DLL|the universal printer driver"
  "UNIDRVUI.DLL|the user interface of the universal printer driver"
  "UNIDRV.HLP|the help file of the universal printer driver")
set(font_files
  "BARCODE.TTF|the barcode font")
set(res_files
  "P80C.GPD|the printer description of the RT-80C"
  "P80.GPD|the printer description of the RT-80"
  "P58C.GPD|the printer description of the RT-58C"
  "P58.GPD|the printer description of the RT-58"
  "P76C.GPD|the printer description of the RT-76C"
  "P76.GPD|the printer description of the RT-76"
  "P80.DLL|the resource DLL of the RT-80C and RT-80"
  "P58.DLL|the resource DLL of the RT-58C and RT-58"
  "P76.DLL|the resource DLL of the RT-76C and RT-76")

# write_stand_ins(FOLDER PLATFORM ROW...): one stand-in per row, CR LF line ends.
function(write_stand_ins folder platform)
  file(MAKE_DIRECTORY "${folder}")
  foreach(row IN LISTS ARGN)
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 name)
    list(GET row 1 meaning)
    file(WRITE "${folder}/${name}"
      "STAND-IN, NOT A DRIVER FILE.\r\n"
      "This is ${name} for ${platform} in the sample driver tree of the KestravaSetup build.\r\n"
      "The real ${name} is ${meaning}; this text does nothing and installs nothing.\r\n"
      "It is packed only so that the program has a payload to unpack while it is built and "
      "tested.\r\n")
  endforeach()
endfunction()

file(REMOVE_RECURSE "${DESTINATION}")
foreach(platform IN LISTS platforms)
  set(folder "${DESTINATION}/${platform}")
  # The plug-in configuration is the one file the build carries as it ships.
  file(MAKE_DIRECTORY "${folder}")
  file(WRITE "${folder}/Receipt.ini"
    "[OEMFiles]\r\nOEMDriverFile1=ReceiptDrv.dll\r\nOEMConfigFile1=ReceiptUI.dll\r\n")
  write_stand_ins("${folder}" "${platform}" ${top_files})
  write_stand_ins("${folder}/Font" "${platform}" ${font_files})
  write_stand_ins("${folder}/RES" "${platform}" ${res_files})
endforeach()
