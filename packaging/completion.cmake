# Bash completion of faltarillon-cli: the tool writes it from its verbs'
# option tables after every link, so it never lags behind a new option.
set(FALTARILLON_COMPLETION ${CMAKE_BINARY_DIR}/faltarillon-cli.bash-completion)
add_custom_command(TARGET faltarillon-cli POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:faltarillon-cli> --write-bash-completion ${FALTARILLON_COMPLETION}
  BYPRODUCTS ${FALTARILLON_COMPLETION}
  VERBATIM)
install(FILES ${FALTARILLON_COMPLETION}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME faltarillon-cli)
