# `make package`: a Debian package of what `cmake --install` installs, with
# its run-time dependencies computed from the programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${SHELLRUX_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The shell_rux developers <maintainers@shellrux.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop front end for the rux4.exe file cipher")
set(CPACK_PACKAGE_DESCRIPTION
    "shell_rux keeps Key Books, files of Master Key records, and encodes and decodes
files with them through the cipher engine rux4.exe, which ships with it. The
front end hands the engine the Key Book and the record number, never the keys;
the engine seals files with ChaCha20-Poly1305 under an Argon2id key, so a
changed, cut or wrong file is refused, never decoded.

shell_rux-cli does the same from scripts, without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://shellrux.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin of the toolkit, which no program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
