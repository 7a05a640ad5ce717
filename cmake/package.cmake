# The Debian package: everything under /opt/kelpa, so it never replaces the system's own
# programs of the same names.
install(FILES ${PROJECT_SOURCE_DIR}/man/kill.1 ${PROJECT_SOURCE_DIR}/man/tyvar.1
              ${PROJECT_SOURCE_DIR}/man/tezzo.1 ${PROJECT_SOURCE_DIR}/man/free.1
              ${PROJECT_SOURCE_DIR}/man/uptime.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/man/libkelpa.3 DESTINATION ${CMAKE_INSTALL_MANDIR}/man3)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelpa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "process signaller and renicer, memory and uptime reports")
set(CPACK_PACKAGE_CONTACT "kelpa developers <kelpa@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/kelpa)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34)")
if(CMAKE_CROSSCOMPILING)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${CMAKE_SYSTEM_PROCESSOR})
endif()

set(KELPA_PACKAGE_LIBDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
foreach(script postinst postrm)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/${script}.in ${PROJECT_BINARY_DIR}/debian/${script}
                 @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                 WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/postinst ${PROJECT_BINARY_DIR}/debian/postrm)
include(CPack)
