# The Debian package: bash scripts/package.sh builds it with CPack.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cardolin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_CONTACT "Velmora <cardolin@velmora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "address book that exchanges contacts with other programs")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Cardolin keeps one contacts book per user account. Contacts are edited field
 by field, searched, filtered, merged and tidied, exchanged through CSV, vCard
 and LDIF files, and synchronised with a Google account.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt 6 and OpenSSL libraries the programs link come from dpkg-shlibdeps;
# the window-system plugins are loaded at run time and named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
