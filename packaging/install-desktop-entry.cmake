# Runs at install time (cmake --install), so the desktop entry names the
# program under the prefix actually used, also when --prefix overrides the
# configured one. Inputs: VOGM_DESKTOP_TEMPLATE, VOGM_DESKTOP_WORK (a scratch
# file in the build tree), VOGM_APPDIR (relative to the prefix), VOGM_ICON_NAME.
set(VOGM_INSTALLED_PROGRAM "${CMAKE_INSTALL_PREFIX}/${VOGM_APPDIR}/VeltraneOrvandel")
get_filename_component(VOGM_INSTALLED_PROGRAM "${VOGM_INSTALLED_PROGRAM}" ABSOLUTE)
configure_file("${VOGM_DESKTOP_TEMPLATE}" "${VOGM_DESKTOP_WORK}" @ONLY)
# file(INSTALL) honours DESTDIR and lists the file in install_manifest.txt.
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  FILES "${VOGM_DESKTOP_WORK}")
