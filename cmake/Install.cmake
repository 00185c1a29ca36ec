# Distribution of the program: the icon files drawn at build time from the program's own
# icon (the Windows program's icon resource too, which scripts/build-windows hands to the
# cross build), the install rules of the Linux desktop (program, menu entry, icons, help
# page, manual page, AppStream data, changelog and copyright) and the Debian package,
# built with Debian's hardening flags.

if(NOT ZYL_WITH_GUI)
    return()
endif()

include(GNUInstallDirs)

# The icon files come from the same drawing as the window icon, so the two never differ.
# zylicon needs only that drawing and Qt's painting, not the rest of the program.
add_executable(zylicon ${CMAKE_CURRENT_LIST_DIR}/../src/qt/icon_export.cpp
                       ${CMAKE_CURRENT_LIST_DIR}/../src/qt/app_icon.cpp)
target_include_directories(zylicon PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../src/qt)
target_link_libraries(zylicon PRIVATE Qt6::Gui)

set(ZYL_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(ZYL_ICON_SIZES 16x16 32x32 48x48 64x64 128x128 256x256)
set(ZYL_ICON_FILES ${ZYL_ICON_DIR}/zyltool.ico)
foreach(size ${ZYL_ICON_SIZES})
    list(APPEND ZYL_ICON_FILES ${ZYL_ICON_DIR}/${size}/zyltool.png)
endforeach()
add_custom_command(
    OUTPUT ${ZYL_ICON_FILES}
    COMMAND zylicon ${ZYL_ICON_DIR}
    DEPENDS zylicon
    COMMENT "Drawing the icon files"
    VERBATIM
)
add_custom_target(zyltool_icons ALL DEPENDS ${ZYL_ICON_FILES})

# Debian's hardening flags (stack protector, fortified libc calls, read-only relocations
# bound at start) for the program and the libraries it is made of. On by default in the
# optimised builds the package is made from; a sanitizer build goes without, because the
# sanitizers miss errors inside the fortified calls.
find_program(ZYL_DPKG_BUILDFLAGS dpkg-buildflags)
set(ZYL_HARDENING_DEFAULT OFF)
if(ZYL_DPKG_BUILDFLAGS AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$"
   AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    set(ZYL_HARDENING_DEFAULT ON)
endif()
option(ZYL_HARDENING "Build the program with Debian's hardening flags (dpkg-buildflags)" ${ZYL_HARDENING_DEFAULT})
if(ZYL_HARDENING)
    if(NOT ZYL_DPKG_BUILDFLAGS)
        message(FATAL_ERROR "ZYL_HARDENING needs dpkg-buildflags (Debian package dpkg-dev)")
    endif()
    # The build type keeps choosing optimisation and debug information, and the paths in
    # the debug information stay the real ones.
    set(zyl_flag_options env "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-fixfilepath,-fixdebugpath"
                             "DEB_CXXFLAGS_MAINT_STRIP=-g -O2")
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(COMMAND ${zyl_flag_options} ${ZYL_DPKG_BUILDFLAGS} --get ${kind}
                        OUTPUT_VARIABLE zyl_flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        separate_arguments(ZYL_HARDENING_${kind} UNIX_COMMAND "${zyl_flags}")
    endforeach()
    foreach(target zyltool zyl_qt_app zyl_qt zyl_app zyl_dialogs zyl_link zyl_memory)
        target_compile_options(${target} PRIVATE ${ZYL_HARDENING_CPPFLAGS} ${ZYL_HARDENING_CXXFLAGS})
    endforeach()
    target_link_options(zyltool PRIVATE ${ZYL_HARDENING_LDFLAGS})
endif()

set(ZYL_PACKAGE_MAINTAINER "ZylTool developers <zyltool@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(ZYL_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/../resources)
set(ZYL_HELP_DIR ${CMAKE_INSTALL_DATADIR}/zyltool)
set(ZYL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zyltool)
install(TARGETS zyltool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ZYL_RESOURCES}/ZYL_help.htm DESTINATION ${ZYL_HELP_DIR})
foreach(size ${ZYL_ICON_SIZES})
    install(FILES ${ZYL_ICON_DIR}/${size}/zyltool.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()
install(FILES ${ZYL_RESOURCES}/cz.zyl.zyltool.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ZYL_RESOURCES}/copyright DESTINATION ${ZYL_DOC_DIR})

# The manual page and the changelog go compressed as Debian wants them: gzip at its best,
# without the name and time stamp that would make each build's file differ.
set(ZYL_GZIP_DIR ${CMAKE_BINARY_DIR}/gzipped)
configure_file(${ZYL_RESOURCES}/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
set(ZYL_GZIPPED)
foreach(source ${ZYL_RESOURCES}/zyltool.1 ${CMAKE_BINARY_DIR}/changelog)
    get_filename_component(name ${source} NAME)
    add_custom_command(
        OUTPUT ${ZYL_GZIP_DIR}/${name}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${ZYL_GZIP_DIR}/${name}
        COMMAND gzip -9nf ${ZYL_GZIP_DIR}/${name}
        DEPENDS ${source}
        VERBATIM
    )
    list(APPEND ZYL_GZIPPED ${ZYL_GZIP_DIR}/${name}.gz)
endforeach()
add_custom_target(zyltool_gzipped_docs ALL DEPENDS ${ZYL_GZIPPED})
install(FILES ${ZYL_GZIP_DIR}/zyltool.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ZYL_GZIP_DIR}/changelog.gz DESTINATION ${ZYL_DOC_DIR})

# The program opens ZYL_help.htm from its current folder, so the menu entry starts it in the
# folder of the help page. That folder is known only when installing (cmake --install
# --prefix, or /usr inside the Debian package): the entry's Path and Exec lines are written
# then.
install(CODE "
    set(ZYL_DESKTOP_SOURCE \"${ZYL_RESOURCES}/zyltool.desktop\")
    set(ZYL_DESKTOP_STAGE \"${CMAKE_BINARY_DIR}/desktop\")
    set(ZYL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
    set(ZYL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
")
install(CODE [=[
    file(READ "${ZYL_DESKTOP_SOURCE}" entry)
    string(REGEX REPLACE "\nPath=[^\n]*" "\nPath=${CMAKE_INSTALL_PREFIX}/${ZYL_DATADIR}/zyltool" entry "${entry}")
    string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=${CMAKE_INSTALL_PREFIX}/${ZYL_BINDIR}/zyltool" entry "${entry}")
    file(WRITE "${ZYL_DESKTOP_STAGE}/zyltool.desktop" "${entry}")
    file(INSTALL "${ZYL_DESKTOP_STAGE}/zyltool.desktop"
         DESTINATION "${CMAKE_INSTALL_PREFIX}/${ZYL_DATADIR}/applications")
]=])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zyltool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ZYL default: factory settings for the ZYL lift access controller")
# Lines of at most 80 characters, as Debian shows them; an empty line starts a paragraph.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "ZylTool connects the PC to a ZYL unit, a lift access-control controller, over"
    "a USB or Bluetooth virtual serial port. It finds the unit on the COM ports,"
    "logs in with the unit's access code, writes the factory settings and the PC's"
    "date and time, and erases all keys and logs in the unit, reporting every step"
    "in its log box."
    ""
    "The key management and the archive of the full configuration tool are built"
    "in and kept hidden in this edition.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The menu entry's Path needs the real prefix while installing, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZYL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts in Czech (qtbase_cs.qm), loaded at start-up; the libraries come from shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-translations-l10n)
include(CPack)
