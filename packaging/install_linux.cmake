# Linux install rules, laid out as Debian and freedesktop.org expect of a desktop program:
# the programs in bin, the menu entry, the icon at each size and scalable, the AppStream
# metadata, manual pages compressed with gzip -9n, and the copyright and changelog files.
# The icon's PNG sizes are drawn from its SVG source at build time.
set(out ${TESSARINE_PACKAGING_OUTPUT})
set(src ${TESSARINE_PACKAGING_SOURCE})
set(generated "")

# Debian's compression: maximum, with no name or time stamp, so builds are reproducible.
function(tessarine_gzip source name)
  add_custom_command(OUTPUT ${out}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${out}/${name}
    COMMAND gzip -9nf ${out}/${name}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
endfunction()

install(TARGETS tessarine-cards RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
tessarine_gzip(${src}/tessarine-cards.1 tessarine-cards.1)
list(APPEND generated ${out}/tessarine-cards.1.gz)
install(FILES ${out}/tessarine-cards.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TARGET tessarine)
  find_program(TESSARINE_RSVG_CONVERT rsvg-convert REQUIRED)
  install(TARGETS tessarine RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  tessarine_gzip(${src}/tessarine.1 tessarine.1)
  list(APPEND generated ${out}/tessarine.1.gz)
  install(FILES ${out}/tessarine.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  install(FILES ${src}/tessarine.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${src}/org.example.tessarine.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  set(icon_source ${src}/icons/tessarine.svg)
  set(icon_root ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  foreach(size 48 128 256)
    set(icon ${out}/icons/${size}x${size}/tessarine.png)
    add_custom_command(OUTPUT ${icon}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/icons/${size}x${size}
      COMMAND ${TESSARINE_RSVG_CONVERT} --width=${size} --height=${size} --format=png
              --output=${icon} ${icon_source}
      DEPENDS ${icon_source}
      COMMENT "Drawing the ${size}x${size} icon"
      VERBATIM)
    list(APPEND generated ${icon})
    install(FILES ${icon} DESTINATION ${icon_root}/${size}x${size}/apps)
  endforeach()
  install(FILES ${icon_source} DESTINATION ${icon_root}/scalable/apps)
endif()

# The bingo window: its own menu entry, metadata and manual page, the same icon.
if(TARGET tessarine-bingo)
  install(TARGETS tessarine-bingo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  tessarine_gzip(${src}/tessarine-bingo.1 tessarine-bingo.1)
  list(APPEND generated ${out}/tessarine-bingo.1.gz)
  install(FILES ${out}/tessarine-bingo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${src}/tessarine-bingo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${src}/org.example.tessarine.bingo.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

tessarine_gzip(${src}/changelog changelog)
list(APPEND generated ${out}/changelog.gz)
install(FILES ${out}/changelog.gz ${src}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${src}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME tessarine)

add_custom_target(tessarine_packaging_files ALL DEPENDS ${generated})
