# Install layout and packages (Linux): both programs, the simulator library and their settings in
# one private folder, because each program loads the SDK library and reads its settings from its
# own folder; the simulator stands in as libVelaComm.so, so an installed copy runs with no printer.
#
#   <prefix>/lib/halvard/           HalvardConfig, HalvardTest, libVelaComm.so, *.ini, bkgnd.bmp
#   <prefix>/bin/                   links to the two programs; velasim, the simulator's
#                                   command-line control
#   <prefix>/share/halvard/samples/ sample card design documents
#   <prefix>/share/doc/halvard/     README, notes, screenshots
#   <prefix>/share/applications/    desktop menu entries
#
# cpack (from the build folder) makes halvard_<version>_<arch>.deb and a .tar.gz of the same tree.
include(GNUInstallDirs)

set(HALVARD_INSTALL_APPDIR lib/halvard)
set(HALVARD_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/halvard)

install(TARGETS HalvardConfig HalvardTest RUNTIME DESTINATION ${HALVARD_INSTALL_APPDIR})
install(TARGETS VelaComm LIBRARY DESTINATION ${HALVARD_INSTALL_APPDIR} NAMELINK_SKIP)
if(TARGET velasim)
  install(TARGETS velasim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES
  ${CMAKE_SOURCE_DIR}/config/ini/HalvardConfig.ini
  ${CMAKE_SOURCE_DIR}/config/ini/KestraConfig.ini
  ${CMAKE_SOURCE_DIR}/testbench/resources/bkgnd.bmp
  DESTINATION ${HALVARD_INSTALL_APPDIR})

# A relative link, so the tree works wherever it is unpacked. The program resolves it to its real
# folder (it reads /proc/self/exe), so it still finds the library and settings beside itself.
foreach(program HalvardConfig HalvardTest)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ../${HALVARD_INSTALL_APPDIR}/${program}
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")")
endforeach()

install(FILES
  ${CMAKE_SOURCE_DIR}/config/resources/sample_ymcko.vdn
  ${CMAKE_SOURCE_DIR}/config/resources/sample_rewritable.vdn
  ${CMAKE_SOURCE_DIR}/testbench/resources/samples/id_card.vdn
  ${CMAKE_SOURCE_DIR}/testbench/resources/samples/two_cards.vdn
  ${CMAKE_SOURCE_DIR}/testbench/resources/samples/portrait.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/halvard/samples)

install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${HALVARD_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${HALVARD_INSTALL_DOCDIR}
  FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

install(FILES
  ${CMAKE_SOURCE_DIR}/cmake/desktop/halvard-config.desktop
  ${CMAKE_SOURCE_DIR}/cmake/desktop/halvard-test.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(CPACK_PACKAGE_NAME halvard)
set(CPACK_PACKAGE_VENDOR "Halvard")
set(CPACK_PACKAGE_CONTACT "Halvard developers <halvard@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Configuration tool and test bench for modular card printers, with a printer simulator")
set(CPACK_PACKAGE_DESCRIPTION
  "HalvardConfig reads and edits a card printer's settings; HalvardTest drives and watches a whole printer system. The package includes a printer simulator in place of the printer maker's SDK library, so both programs run without a printer.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the programs link come from dpkg-shlibdeps; Qt's platform plugins (how a Qt
# program reaches the display) are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
# The simulator sits in a private folder and nothing links against it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

include(CPack)
