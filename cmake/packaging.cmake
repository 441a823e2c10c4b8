# Desktop integration and the Debian package (CPack). `bash scripts/package.sh`
# configures a Release build with the /usr prefix and runs `cpack -G DEB`.
include(GNUInstallDirs)
set(_docdir ${CMAKE_INSTALL_DATADIR}/doc/ombrik)
set(_pkg ${PROJECT_SOURCE_DIR}/resources/package)

install(FILES ${_pkg}/org.ombrik.PhotoEditor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_pkg}/org.ombrik.PhotoEditor.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/ombrik.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(_size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${_size}x${_size}/ombrik.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps)
endforeach()

# Man pages and the changelog are installed compressed, as Debian wants them.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(_gz_outputs)
foreach(_page ombrik ombrik-cli)
  configure_file(${_pkg}/man/${_page}.1 ${CMAKE_BINARY_DIR}/man/${_page}.1 @ONLY)
  list(APPEND _gz_sources ${CMAKE_BINARY_DIR}/man/${_page}.1)
endforeach()
configure_file(${_pkg}/changelog ${CMAKE_BINARY_DIR}/doc/changelog COPYONLY)
list(APPEND _gz_sources ${CMAKE_BINARY_DIR}/doc/changelog)
foreach(_src ${_gz_sources})
  add_custom_command(OUTPUT ${_src}.gz
    COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${_src} > ${_src}.gz
    DEPENDS ${_src}
    VERBATIM)
  list(APPEND _gz_outputs ${_src}.gz)
endforeach()
add_custom_target(ombrik_compressed_docs ALL DEPENDS ${_gz_outputs})
install(FILES ${CMAKE_BINARY_DIR}/man/ombrik.1.gz ${CMAKE_BINARY_DIR}/man/ombrik-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz ${_pkg}/copyright DESTINATION ${_docdir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ombrik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Ombrik developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo editor with one-click effects, text and frames")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ombrik Photo Editor opens one photo at a time and changes it with one-click
effects shown as picture tiles in four panels: Retouch, Filters, Warp and
Lighting. It writes styled text on the photo, puts a photo frame round it,
keeps an undo history, previews the photo full-window and saves it.

The package also holds ombrik-cli, which applies the same effects to photos
from the command line.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Ombrik developers <developers@ombrik.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ombrik.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system and picture-format plugins at run time, which
# the shared-library scan cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins")
# Qt's own texts (Yes, No, Cancel) in the German and French windows.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
