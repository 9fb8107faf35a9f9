# What `cmake --install` puts under the prefix, and the Debian package `cpack -G DEB` makes of it:
# the program and its desktop files, nothing of the tests, benchmarks or fuzz targets.
include(GNUInstallDirs)

set(GALVORA_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

# An installed Galvora finds its two homes by the desktop entry at ../share/applications beside its
# bin folder (src/core/shared/program_home.h).
if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin" OR NOT CMAKE_INSTALL_DATADIR STREQUAL "share")
  message(WARNING "Galvora recognises an installation by bin/ and share/ side by side; "
                  "with other folders the installed program keeps its files beside the executable")
endif()

# Galvora installs no libraries of its own: no search path beside the executable.
set_target_properties(galvora PROPERTIES INSTALL_RPATH "")
install(TARGETS galvora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${GALVORA_PACKAGING_DIR}/galvora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${GALVORA_PACKAGING_DIR}/galvora.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The man page and the changelog go in compressed, as Debian's policy has them; the licence in
# Debian's machine-readable form goes beside the changelog.
set(GALVORA_GZIPPED)
foreach(file galvora.1 changelog)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz
                     COMMAND gzip -9n -c ${GALVORA_PACKAGING_DIR}/${file} > ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz
                     DEPENDS ${GALVORA_PACKAGING_DIR}/${file} VERBATIM)
  list(APPEND GALVORA_GZIPPED ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz)
endforeach()
add_custom_target(galvora_gzipped_docs ALL DEPENDS ${GALVORA_GZIPPED})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/galvora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${GALVORA_PACKAGING_DIR}/galvora.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME galvora)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${GALVORA_PACKAGING_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/galvora)
foreach(size 48 128 256)
  install(FILES ${GALVORA_PACKAGING_DIR}/icons/galvora-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME galvora.png)
endforeach()

# The icons are committed; after a change to the artwork, build this and run
#   build/galvora_icons packaging/icons
add_executable(galvora_icons EXCLUDE_FROM_ALL ${GALVORA_PACKAGING_DIR}/make_icons.cpp)
target_link_libraries(galvora_icons PRIVATE galvora_ui galvora_warnings)

set(CPACK_PACKAGE_NAME galvora)
set(CPACK_PACKAGE_VENDOR "Galvora maintainers")
set(CPACK_PACKAGE_CONTACT "Galvora maintainers <galvora@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn a selection of pictures into a small web photo album")
# Debian wants the long description in lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Galvora makes a small static web photo album from pictures (JPEG, GIF, BMP,
"
       "PNG, WebP, TIFF, HEIC and AVIF): a Picture Show, Slide Show, Thumbnails, Block
"
       "effect or Photoalbum page, or only resized copies of the pictures. It works in
"
       "a window or from the command line.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # galvora_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries the program links (libheif among them) come from dpkg-shlibdeps; the window font,
# Qt's WebP and TIFF readers (plug-ins, loaded at run time) and the page opener are not linked, so
# they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
