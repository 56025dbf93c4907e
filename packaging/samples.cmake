# Sample designs: installed for the "Beispiele" menu, and copied beside the
# program in the build folder so the built program finds them too.
file(GLOB FALTARILLON_SAMPLE_BOXES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/*.box)
file(GLOB FALTARILLON_SAMPLE_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/*.png
     ${CMAKE_SOURCE_DIR}/samples/*.jpg)
foreach(f ${FALTARILLON_SAMPLE_BOXES} ${FALTARILLON_SAMPLE_PICTURES})
  get_filename_component(name ${f} NAME)
  configure_file(${f} ${CMAKE_BINARY_DIR}/beispiele/${name} COPYONLY)
endforeach()

# The installed box files name their pictures by the absolute path the
# package puts them at: a file manager's sandboxed thumbnailer sees
# /usr/share but gets the box file copied somewhere else. The source tree
# keeps bare names.
set(FALTARILLON_INSTALLED_SAMPLES ${FALTARILLON_PACKAGE_PREFIX}/${CMAKE_INSTALL_DATADIR}/faltarillon/beispiele)
add_executable(install_picture_paths ${CMAKE_SOURCE_DIR}/samples/InstallPicturePaths.cpp)
target_link_libraries(install_picture_paths PRIVATE faltarillon_core)
set(FALTARILLON_PACKAGED_BOXES)
foreach(f ${FALTARILLON_SAMPLE_BOXES})
  get_filename_component(name ${f} NAME)
  list(APPEND FALTARILLON_PACKAGED_BOXES ${CMAKE_BINARY_DIR}/packaging/beispiele/${name})
endforeach()
add_custom_command(OUTPUT ${FALTARILLON_PACKAGED_BOXES}
  COMMAND install_picture_paths ${CMAKE_SOURCE_DIR}/samples ${CMAKE_BINARY_DIR}/packaging/beispiele
          ${FALTARILLON_INSTALLED_SAMPLES}
  DEPENDS install_picture_paths ${FALTARILLON_SAMPLE_BOXES} ${FALTARILLON_SAMPLE_PICTURES}
  VERBATIM)
add_custom_target(packaged_samples ALL DEPENDS ${FALTARILLON_PACKAGED_BOXES})
install(FILES ${FALTARILLON_PACKAGED_BOXES} ${FALTARILLON_SAMPLE_PICTURES}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/faltarillon/beispiele)

# The program that drew them; run by hand when a sample is to change.
add_executable(make_samples EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/samples/MakeSamples.cpp)
target_link_libraries(make_samples PRIVATE faltarillon_core)
