# The Windows programs' resources: the icon, the version and the manifest
# (program.rc), and the manifest alone for the test programs (manifest.rc).
set(KORVANE_WINDOWS_ICON ${CMAKE_BINARY_DIR}/korvane.ico)
set(KORVANE_WINDOWS_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/program.rc.in ${CMAKE_BINARY_DIR}/program.rc @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/manifest.rc.in ${CMAKE_BINARY_DIR}/manifest.rc @ONLY)
set(KORVANE_PROGRAM_RESOURCES ${CMAKE_BINARY_DIR}/program.rc)
set(KORVANE_MANIFEST_RESOURCE ${CMAKE_BINARY_DIR}/manifest.rc)
set_source_files_properties(${KORVANE_PROGRAM_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${KORVANE_WINDOWS_ICON};${CMAKE_CURRENT_LIST_DIR}/korvane.manifest")
set_source_files_properties(${KORVANE_MANIFEST_RESOURCE} PROPERTIES
  OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/korvane.manifest)
