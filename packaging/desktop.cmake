# Desktop integration: launcher entry, icons, the MIME type of box files,
# the thumbnailer and the AppStream description.
# GNUInstallDirs is included by the top-level list before this file.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/faltarillon-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME faltarillon.xml)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/faltarillon.thumbnailer
        DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/faltarillon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/faltarillon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-faltarillon-box.svg)
foreach(size 48 64 128 256)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/faltarillon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME faltarillon.png)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/faltarillon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/mimetypes
          RENAME application-x-faltarillon-box.png)
endforeach()
if(FALTARILLON_BUILD_UI)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/faltarillon.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/de.orblux.faltarillon.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
