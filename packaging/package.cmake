# The Debian package (`make package`, CPack's DEB generator): the program,
# the command-line tool, desktop integration, man pages, sample designs and
# the documentation files Debian asks for (samples: samples.cmake). Runs on the normal build; nothing
# is compiled twice.

# Manual pages and the changelog go into the package compressed, without
# time stamps, so the same sources give the same package. The pages are
# English in man1 and German, as the program speaks, in de/man1: man shows
# the German ones in a German locale only.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(FALTARILLON_GZIPPED)
foreach(src man/faltarillon.1 man/faltarillon-cli.1 man/de/faltarillon.1 man/de/faltarillon-cli.1 changelog)
  set(out ${CMAKE_BINARY_DIR}/packaging/${src}.gz)
  get_filename_component(outdir ${out} DIRECTORY)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${outdir}
    COMMAND ${GZIP_PROGRAM} -9nc ${CMAKE_CURRENT_LIST_DIR}/${src} > ${out}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${src}
    VERBATIM)
  list(APPEND FALTARILLON_GZIPPED ${out})
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${FALTARILLON_GZIPPED})

set(FALTARILLON_MAN_PAGES faltarillon-cli.1.gz)
if(FALTARILLON_BUILD_UI)
  list(APPEND FALTARILLON_MAN_PAGES faltarillon.1.gz)
endif()
foreach(page ${FALTARILLON_MAN_PAGES})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/man/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/man/de/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1)
endforeach()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/faltarillon)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME faltarillon)
set(CPACK_PACKAGE_VENDOR ORB-LUX)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${FALTARILLON_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "designer for printable folding boxes in the shape of a cube")
set(CPACK_PACKAGE_DESCRIPTION
"Faltarillon-Designer is a German-language desktop editor for a folding box in
the shape of a cube. It decorates the unfolded net with figures, texts,
pictures and a background picture, sets the size of the box, previews the
printed sheet and prints the net as a dotted outline to cut, fold and glue.

Designs are saved as box files; file managers show thumbnails of them and open
them in the designer. Pictures can be scanned (SANE) and exported in many image
formats. The command-line tool faltarillon-cli inspects, converts and renders
designs. Three sample designs are included.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ORB-LUX <faltarillon@orb-lux.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.orb-lux.example/faltarillon/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What Qt loads at run time, which the linked libraries do not show: the
# fonts the designs name, image format and platform plugins, the German
# texts of the toolkit's own dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-liberation, libqt6svg6, qt6-image-formats-plugins, qt6-translations-l10n, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
