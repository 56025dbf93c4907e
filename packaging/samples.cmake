# Sample designs: installed for the "Beispiele" menu, and copied beside the
# program in the build folder so the built program finds them too.
file(GLOB FALTARILLON_SAMPLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/*.box
     ${CMAKE_SOURCE_DIR}/samples/*.png ${CMAKE_SOURCE_DIR}/samples/*.jpg)
install(FILES ${FALTARILLON_SAMPLES} DESTINATION ${CMAKE_INSTALL_DATADIR}/faltarillon/beispiele)
foreach(f ${FALTARILLON_SAMPLES})
  get_filename_component(name ${f} NAME)
  configure_file(${f} ${CMAKE_BINARY_DIR}/beispiele/${name} COPYONLY)
endforeach()

# The program that drew them; run by hand when a sample is to change.
add_executable(make_samples EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/samples/MakeSamples.cpp)
target_link_libraries(make_samples PRIVATE faltarillon_core)
