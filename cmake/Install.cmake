# Installation (cmake --install <build> [--prefix DIR]).
#
# The program finds everything it loads beside itself, so the executable, the
# device library, the data files and the generated pictures and firmware
# images go together into one application folder below the prefix:
#
#   <prefix>/lib/veltrane-orvandel/   VeltraneOrvandel, libHIDUsb.so, vogm-world,
#                                     usersetting/Config.ini, Language/, driver_sensor.h,
#                                     bin/*.bin, Picture/..., plugins/ (the Qt plugins it loads)
#   <prefix>/bin/veltrane-orvandel    a symbolic link to the program
#   <prefix>/share/applications/veltrane-orvandel.desktop
#   <prefix>/share/icons/hicolor/<N>x<N>/apps/veltrane-orvandel.png
#
# The executables carry the run path $ORIGIN, so the installed program loads
# the installed device library wherever the folder is.

set(VOGM_INSTALL_APPDIR "lib/veltrane-orvandel" CACHE STRING
  "Folder below the install prefix that holds the program and the files it loads")

install(TARGETS VeltraneOrvandel RUNTIME DESTINATION ${VOGM_INSTALL_APPDIR})
install(TARGETS vogm-world RUNTIME DESTINATION ${VOGM_INSTALL_APPDIR})
install(TARGETS HIDUsb LIBRARY DESTINATION ${VOGM_INSTALL_APPDIR})

# Data files from the source tree; pictures and firmware images as the build
# drew and wrote them into the stage folder.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${VOGM_INSTALL_APPDIR})
install(DIRECTORY ${VOGM_STAGE_DIR}/Picture DESTINATION ${VOGM_INSTALL_APPDIR})
# The Qt plugins the program loads (its compiled-in qt.conf names this folder).
install(DIRECTORY ${VOGM_STAGE_DIR}/plugins DESTINATION ${VOGM_INSTALL_APPDIR} USE_SOURCE_PERMISSIONS)
install(DIRECTORY ${VOGM_STAGE_DIR}/bin/ DESTINATION ${VOGM_INSTALL_APPDIR}/bin FILES_MATCHING PATTERN "*.bin")

install(DIRECTORY ${VOGM_ICON_THEME_DIR}/ DESTINATION share/icons/hicolor)

# Written at install time so it names the prefix actually used.
install(CODE "
  set(VOGM_DESKTOP_TEMPLATE \"${CMAKE_SOURCE_DIR}/packaging/veltrane-orvandel.desktop.in\")
  set(VOGM_DESKTOP_WORK \"${CMAKE_BINARY_DIR}/packaging/veltrane-orvandel.desktop\")
  set(VOGM_APPDIR \"${VOGM_INSTALL_APPDIR}\")
  set(VOGM_ICON_NAME \"${VOGM_ICON_NAME}\")")
install(SCRIPT ${CMAKE_SOURCE_DIR}/packaging/install-desktop-entry.cmake)

# bin/veltrane-orvandel -> ../lib/veltrane-orvandel/VeltraneOrvandel (relative,
# so the installed tree can be moved as a whole).
install(CODE "
  set(link_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(RELATIVE_PATH target \"\${CMAKE_INSTALL_PREFIX}/bin\"
    \"\${CMAKE_INSTALL_PREFIX}/${VOGM_INSTALL_APPDIR}/VeltraneOrvandel\")
  message(STATUS \"Installing: \${link_dir}/veltrane-orvandel -> \${target}\")
  file(MAKE_DIRECTORY \"\${link_dir}\")
  file(CREATE_LINK \"\${target}\" \"\${link_dir}/veltrane-orvandel\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${CMAKE_INSTALL_PREFIX}/bin/veltrane-orvandel\")")
