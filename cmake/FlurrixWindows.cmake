# flurrix_windows_program(TARGET): makes TARGET a Windows GUI program (no console window) with the
# resources of res/windows/: the generated icon, the version information and the manifest.
function(flurrix_windows_program target)
  set(res ${CMAKE_SOURCE_DIR}/res/windows)
  set(out ${CMAKE_BINARY_DIR}/res)
  set(FLURRIX_ICON ${out}/flurrix.ico)
  set(FLURRIX_MANIFEST ${res}/flurrix.manifest)
  add_custom_command(OUTPUT ${FLURRIX_ICON}
    COMMAND bash ${res}/make-icon.sh ${FLURRIX_ICON}
    DEPENDS ${res}/make-icon.sh
    COMMENT "Drawing the program icon")
  configure_file(${res}/flurrix.rc.in ${out}/flurrix.rc @ONLY)
  set_source_files_properties(${out}/flurrix.rc PROPERTIES
    OBJECT_DEPENDS "${FLURRIX_ICON};${FLURRIX_MANIFEST}")
  target_sources(${target} PRIVATE ${out}/flurrix.rc)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
endfunction()
