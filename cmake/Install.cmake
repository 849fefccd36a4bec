# What `cmake --install` puts where, and the Debian package CPack builds from it.
include(GNUInstallDirs)

# The icon sizes are rendered from the scalable drawing, and the manual page is made from
# `quillet --help`; the package build needs both tools, any other build makes them when it can.
if(QUILLET_PACKAGE)
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  find_program(HELP2MAN help2man REQUIRED)
else()
  find_program(RSVG_CONVERT rsvg-convert)
  find_program(HELP2MAN help2man)
endif()
find_program(GZIP gzip REQUIRED)

install(TARGETS quillet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(QUILLET_PACKAGE)
  # As Debian's own packages are stripped: no symbols, no compiler notes.
  add_custom_command(TARGET quillet POST_BUILD
    COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note --strip-unneeded
            $<TARGET_FILE:quillet>)
endif()

install(FILES ${CMAKE_SOURCE_DIR}/packaging/quillet.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/io.github.quillet.Quillet.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/quillet.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
if(RSVG_CONVERT)
  set(icons "")
  foreach(size 16 32 48 64 128 256)
    set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/quillet.png)
    add_custom_command(OUTPUT ${icon}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${icon}
              ${CMAKE_SOURCE_DIR}/resources/quillet.svg
      DEPENDS ${CMAKE_SOURCE_DIR}/resources/quillet.svg
      COMMENT "Rendering the ${size}x${size} icon")
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    list(APPEND icons ${icon})
  endforeach()
  add_custom_target(icons ALL DEPENDS ${icons})
endif()

if(HELP2MAN)
  set(manpage ${CMAKE_BINARY_DIR}/man/quillet.1)
  add_custom_command(OUTPUT ${manpage}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${HELP2MAN} --no-info --section=1
            "--name=edit the object placement in the levels of game ROM images"
            --include=${CMAKE_SOURCE_DIR}/packaging/quillet.h2m
            --output=${manpage} $<TARGET_FILE:quillet>
    COMMAND ${GZIP} -9nf ${manpage}
    DEPENDS quillet ${CMAKE_SOURCE_DIR}/packaging/quillet.h2m
    COMMENT "Writing the manual page from quillet --help")
  add_custom_target(manpage ALL DEPENDS ${manpage}.gz)
  install(FILES ${manpage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(changelog ${CMAKE_BINARY_DIR}/doc/changelog.Debian)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/changelog ${changelog}
  COMMAND ${GZIP} -9nf ${changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)
add_custom_target(changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quillet)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "Quillet developers")
set(CPACK_PACKAGE_CONTACT "Quillet developers <quillet@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the object placement in game level images")
# The summary above is the first line; then the description, each line within lintian's 80
# columns.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quillet edits the positions, types and subtypes of the objects placed in the
levels of two classic platform games, working directly on a ROM image file
the user owns. A map window shows a level's terrain with its objects, which
can be dragged to new places, and the level's picture can be exported as PNG
from the command line.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quillet)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
# Libraries come from dpkg-shlibdeps; Qt's plugins are loaded at run time, so the window system
# plugin is named here, and the sound needs GStreamer's WAVE parser and an MPEG audio decoder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, fonts-dejavu-core, fonts-comic-neue, fonts-liberation2")
include(CPack)
