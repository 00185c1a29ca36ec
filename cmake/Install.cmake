# Distribution of the program: the icon files drawn at build time from the program's own
# icon, the Windows version and icon resources, the install rules of the Linux desktop
# (program, menu entry, icons, help page) and the Debian package.

if(NOT ZYL_WITH_GUI)
    return()
endif()

include(GNUInstallDirs)

# The icon files come from the same drawing as the window icon, so the two never differ.
# zylicon needs only that drawing and Qt's painting, not the rest of the program.
add_executable(zylicon ${CMAKE_CURRENT_LIST_DIR}/../src/app/icon_export.cpp
                       ${CMAKE_CURRENT_LIST_DIR}/../src/app/app_icon.cpp)
target_include_directories(zylicon PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../src/app)
target_link_libraries(zylicon PRIVATE Qt6::Gui)

set(ZYL_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(ZYL_ICON_FILES
    ${ZYL_ICON_DIR}/16x16/zyltool.png
    ${ZYL_ICON_DIR}/32x32/zyltool.png
    ${ZYL_ICON_DIR}/zyltool.ico
)
add_custom_command(
    OUTPUT ${ZYL_ICON_FILES}
    COMMAND zylicon ${ZYL_ICON_DIR}
    DEPENDS zylicon
    COMMENT "Drawing the icon files"
    VERBATIM
)
add_custom_target(zyltool_icons ALL DEPENDS ${ZYL_ICON_FILES})

if(WIN32)
    # Version information and icon 128 for Explorer; the resource compiler finds the drawn
    # zyltool.ico through the include path.
    target_sources(zyltool PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../resources/zyltool.rc)
    target_include_directories(zyltool PRIVATE ${ZYL_ICON_DIR})
    add_dependencies(zyltool zyltool_icons)
    return()
endif()

set(ZYL_HELP_DIR ${CMAKE_INSTALL_DATADIR}/zyltool)
install(TARGETS zyltool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/../resources/ZYL_help.htm DESTINATION ${ZYL_HELP_DIR})
foreach(size 16x16 32x32)
    install(FILES ${ZYL_ICON_DIR}/${size}/zyltool.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()

# The program opens ZYL_help.htm from its current folder, so the menu entry starts it in the
# folder of the help page. That folder is known only when installing (cmake --install
# --prefix, or /usr inside the Debian package): the entry's Path line is written then.
install(CODE "
    set(ZYL_DESKTOP_SOURCE \"${CMAKE_CURRENT_LIST_DIR}/../resources/zyltool.desktop\")
    set(ZYL_DESKTOP_STAGE \"${CMAKE_BINARY_DIR}/desktop\")
    set(ZYL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
")
install(CODE [=[
    file(READ "${ZYL_DESKTOP_SOURCE}" entry)
    string(REGEX REPLACE "\nPath=[^\n]*" "\nPath=${CMAKE_INSTALL_PREFIX}/${ZYL_DATADIR}/zyltool" entry "${entry}")
    file(WRITE "${ZYL_DESKTOP_STAGE}/zyltool.desktop" "${entry}")
    file(INSTALL "${ZYL_DESKTOP_STAGE}/zyltool.desktop"
         DESTINATION "${CMAKE_INSTALL_PREFIX}/${ZYL_DATADIR}/applications")
]=])

set(ZYL_PACKAGE_MAINTAINER "ZylTool developers <zyltool@localhost>"
    CACHE STRING "Maintainer named in the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zyltool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ZYL default: factory settings for the ZYL lift access controller")
set(CPACK_PACKAGE_DESCRIPTION "Connects the PC to a ZYL unit over a USB or Bluetooth serial port, \
logs in with the access code, writes the factory settings and the PC's clock, and erases all \
keys and logs, reporting every step in its log box.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The menu entry's Path needs the real prefix while installing, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZYL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
