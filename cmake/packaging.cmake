# What `cmake --install` puts in place and CPack packs: on Linux the program with its desktop
# entry, icons, metainfo and manual, as a .deb; for Windows the .exe, licence and README, as a zip.
include(GNUInstallDirs)
set(data ${PROJECT_SOURCE_DIR}/data)
if(WIN32)
    # Notepad before Windows 10 shows a file with bare line feeds as one long line.
    configure_file(${data}/windows-readme.txt README.txt @ONLY NEWLINE_STYLE CRLF)
    configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
    install(TARGETS gltextdemo DESTINATION .)
    install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION .)
    set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-windows-x64)
else()
    # Debian wants the manual and the changelog compressed; -n leaves out the
    # name and time, so that every build gives the same bytes.
    foreach(file gltextdemo.1 changelog)
        add_custom_command(OUTPUT ${file}.gz DEPENDS ${data}/${file}
            COMMAND gzip -9n < ${data}/${file} > ${file}.gz VERBATIM)
    endforeach()
    add_custom_target(compressed_docs ALL DEPENDS gltextdemo.1.gz changelog.gz)
    install(TARGETS gltextdemo)
    install(FILES ${data}/gltextdemo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${data}/org.example.gltextdemo.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 16x16 32x32 48x48)
        install(FILES ${data}/icons/${size}.png RENAME gltextdemo.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
    endforeach()
    install(FILES ${PROJECT_BINARY_DIR}/gltextdemo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES README.md ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
    # The licence under the name Debian gives it.
    install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
endif()

# The address is at .invalid, a name that can never be anyone's host.
set(CPACK_PACKAGE_CONTACT "gltextdemo developers <maintainers@gltextdemo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION
    "What you type shows as GLUT stroke and bitmap text\nand as anti-aliased FTGL pixmaps of a TrueType font.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
