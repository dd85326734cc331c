# Installing the program for a desktop: the program, its desktop entry, icon, AppStream metainfo,
# manual page and bash completion; and a Debian package of the same (cpack -G DEB). The window description and string table are built into the
# program, and an installed program keeps its settings files in $XDG_DATA_HOME/pocketmovie.
include(GNUInstallDirs)

install(TARGETS pocketmovie RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/pocketmovie.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/pocketmovie.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/org.pocketmovie.pocketmovie.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/pocketmovie.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME pocketmovie)
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Manual pages and the Debian changelog go compressed, without a time stamp, as Debian installs them.
find_program(POCKETMOVIE_GZIP gzip REQUIRED)
set(compressed_docs)
foreach(doc pocketmovie.1 changelog)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/packaging/${doc}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${doc} ${CMAKE_CURRENT_BINARY_DIR}/packaging/${doc}
    COMMAND ${POCKETMOVIE_GZIP} -9nf ${CMAKE_CURRENT_BINARY_DIR}/packaging/${doc}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${doc}
    VERBATIM)
  list(APPEND compressed_docs ${compressed})
endforeach()
add_custom_target(pocketmovie_docs ALL DEPENDS ${compressed_docs})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/pocketmovie.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# A bitmap icon for menus that do not draw SVG, rendered by ffmpeg when it has the SVG decoder.
find_program(POCKETMOVIE_FFMPEG ffmpeg)
if(POCKETMOVIE_FFMPEG)
  execute_process(COMMAND ${POCKETMOVIE_FFMPEG} -hide_banner -decoders
    OUTPUT_VARIABLE ffmpeg_decoders ERROR_QUIET RESULT_VARIABLE ffmpeg_status)
  if(ffmpeg_status EQUAL 0 AND ffmpeg_decoders MATCHES "librsvg")
    set(icon_png ${CMAKE_CURRENT_BINARY_DIR}/icons/128x128/pocketmovie.png)
    add_custom_command(OUTPUT ${icon_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/128x128
      COMMAND ${POCKETMOVIE_FFMPEG} -v error -y -i ${CMAKE_CURRENT_SOURCE_DIR}/packaging/pocketmovie.svg
              -frames:v 1 -pix_fmt rgba ${icon_png}
      DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/pocketmovie.svg
      VERBATIM)
    add_custom_target(pocketmovie_icon ALL DEPENDS ${icon_png})
    install(FILES ${icon_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
  endif()
endif()

set(CPACK_PACKAGE_NAME pocketmovie)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts a movie into a compact movie for mobile phones")
set(CPACK_PACKAGE_DESCRIPTION "pocketmovie converts a QuickTime or AVI movie into MPEG-4, 3GPP, 3GPP2
or AMC for mobile phones, in a small window or from the terminal.")
set(CPACK_PACKAGE_CONTACT "pocketmovie developers <pocketmovie@pocketmovie.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The AMR-NB sound of 3GPP, 3GPP2 and AMC comes from libopencore, which only Debian's "extra"
# build of libavcodec has; it stands in for the plain one.
string(REGEX MATCH "^[0-9]+" avcodec_major "${FFMPEG_libavcodec_VERSION}")
if(avcodec_major)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libavcodec-extra${avcodec_major}")
endif()
# Qt's own texts (the file panel, the dialogs' buttons) in the user's language; xdg-open for the
# notification's "Show in Folder" where no file manager answers on the session bus.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
include(CPack)
