# The Debian package (cpack -G DEB, run by scripts/package): what the install
# rules of app/ put under the prefix, with /usr as the prefix. The program,
# the command line and our SAT library sit side by side in /usr/lib/dravovexa,
# with links in /usr/bin, the menu entry and the icon.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dravovexa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Dravo Vexa Tarvik <dravovexa@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Configuração, ativação, consultas e manutenção do equipamento SAT-CF-e")
set(CPACK_PACKAGE_DESCRIPTION
    "Programa Dravo Vexa Tarvik®, a linha de comando dravovexa-cli e um emulador do equipamento SAT (libdllsat.so).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The install rules write the prefix into the menu entry, so the files are
# staged with DESTDIR under the real prefix, not under a staging prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
# Depends from the shared libraries the programs link (dpkg-shlibdeps). Qt's
# own Portuguese texts travel in the package (translations/), so the large
# translations package is not needed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
