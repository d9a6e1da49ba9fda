# The Windows setup program (NSIS) and the portable zip, made from the built program, engine and
# content: build-win/flurrix-setup-VERSION.exe and build-win/flurrix-VERSION-portable.zip.
find_program(FLURRIX_MAKENSIS makensis)
find_program(FLURRIX_ZIP zip)
if(NOT FLURRIX_MAKENSIS OR NOT FLURRIX_ZIP)
  message(WARNING "No setup program and no portable zip: they need makensis (nsis) and zip")
  return()
endif()

include(${CMAKE_SOURCE_DIR}/tools/artgen/outputs.cmake)
set(res ${CMAKE_SOURCE_DIR}/res/windows)
set(version ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(licence ${CMAKE_BINARY_DIR}/installer/LICENSE.txt)
set(setup ${CMAKE_BINARY_DIR}/flurrix-setup-${version}.exe)
set(portable ${CMAKE_BINARY_DIR}/flurrix-${version}-portable.zip)
set(payload $<TARGET_FILE:flurrix> $<TARGET_FILE:flurrix_engine> ${FLURRIX_CONTENT_FILES})

# Our licence followed by the font's, with Windows line ends.
add_custom_command(OUTPUT ${licence}
  COMMAND sh -c "cat \"$1\" \"$2\" | sed 's/\\r*$/\\r/' >\"$3\"" sh
          ${res}/LICENSE.txt ${FLURRIX_CONTENT_DIR}/font/LICENSE ${licence}
  DEPENDS ${res}/LICENSE.txt ${FLURRIX_CONTENT_DIR}/font/LICENSE ${FLURRIX_ARTGEN_TARGET}
  COMMENT "Writing the licence of the setup program"
  VERBATIM)

add_custom_command(OUTPUT ${setup}
  COMMAND ${FLURRIX_MAKENSIS} -V2 -DVERSION=${version} -DBUILD=${CMAKE_BINARY_DIR}
          -DLICENCE=${licence} -DOUTFILE=${setup} ${res}/installer.nsi
  DEPENDS ${res}/installer.nsi ${licence} ${payload} flurrix flurrix_engine
  COMMENT "Making the setup program ${setup}"
  VERBATIM)

add_custom_command(OUTPUT ${portable}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${portable}
  COMMAND ${FLURRIX_ZIP} -q -X -r ${portable} flurrix.scr flurrix.dll data
  COMMAND ${FLURRIX_ZIP} -q -X -j ${portable} ${licence}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS ${licence} ${payload} flurrix flurrix_engine
  COMMENT "Making the portable zip ${portable}"
  VERBATIM)

add_custom_target(flurrix_installer ALL DEPENDS ${setup} ${portable})
