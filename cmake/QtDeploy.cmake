# The Qt plugins the program loads, copied into the plugins/ folder beside it,
# which its compiled-in qt.conf names: the X11 and offscreen platforms and the
# compose and IBus input methods. Qt searches no other plugin folder, so it
# neither scans nor loads a plugin the program does not use (image formats:
# PNG is built into Qt).
set(VOGM_PLUGIN_DIR ${VOGM_STAGE_DIR}/plugins)
add_custom_target(stage_qt_plugins ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VOGM_PLUGIN_DIR}/platforms ${VOGM_PLUGIN_DIR}/platforminputcontexts
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt5::QXcbIntegrationPlugin>
          $<TARGET_FILE:Qt5::QOffscreenIntegrationPlugin> ${VOGM_PLUGIN_DIR}/platforms
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt5::QComposePlatformInputContextPlugin>
          $<TARGET_FILE:Qt5::QIbusPlatformInputContextPlugin> ${VOGM_PLUGIN_DIR}/platforminputcontexts
  COMMENT "Staging the Qt plugins the program uses")

# The compiled-in qt.conf (resource :/qt/etc/qt.conf): the plugin folder above,
# and Qt's own translations where this Qt keeps them.
get_target_property(VOGM_QMAKE Qt5::qmake IMPORTED_LOCATION)
execute_process(COMMAND ${VOGM_QMAKE} -query QT_INSTALL_TRANSLATIONS
  OUTPUT_VARIABLE VOGM_QT_TRANSLATIONS OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${CMAKE_SOURCE_DIR}/resources/qt.conf.in ${CMAKE_BINARY_DIR}/resources/qt.conf @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/qtconf.qrc.in ${CMAKE_BINARY_DIR}/resources/qtconf.qrc COPYONLY)
set(VOGM_QTCONF_QRC ${CMAKE_BINARY_DIR}/resources/qtconf.qrc)
