# Desktop integration: launcher entry, icon and the MIME type of box files.
# GNUInstallDirs is included by the top-level list before this file.
if(FALTARILLON_BUILD_UI)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/faltarillon.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/faltarillon.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/faltarillon-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME faltarillon.xml)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/faltarillon.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/mimetypes
          RENAME application-x-faltarillon-box.png)
endif()
