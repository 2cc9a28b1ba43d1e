# The Debian package: `cpack -G DEB` in a release build configured with
# CMAKE_INSTALL_PREFIX=/usr (scripts/package.sh does both). Its
# dependencies come from the shared libraries the programs link
# (dpkg-shlibdeps).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${LMV_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${LMV_DEB_UPSTREAM_VERSION})
set(CPACK_PACKAGE_CONTACT "${LMV_DEB_MAINTAINER}")
set(CPACK_PACKAGE_VENDOR "The Lumetrevisor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program of the TAVEK LX5810/LX5811 illuminance meter")
if(TARGET lumetrevisor)
  set(package_holds "The package holds the desktop program lumetrevisor, the command-line tool
lumetrevisor-cli and the meter simulator lumetrevisor-sim.")
else()
  set(package_holds "The package holds the command-line tool lumetrevisor-cli and the meter
simulator lumetrevisor-sim.")
endif()
set(CPACK_PACKAGE_DESCRIPTION
"Lumetrevisor identifies a TAVEK LX5810 or LX5811 hand-held illuminance meter
on its USB serial port, shows the live reading, records it at an interval,
saves and opens record files, exports CSV, downloads the readings stored in
the meter, pastes readings into LibreOffice Calc and runs the meter's zero
adjustment, in Japanese and English.

${package_holds}
Its udev rule gives the user logged in at the seat access to the meter and
the link /dev/lx5810-N.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${LMV_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The spreadsheet link drives LibreOffice Calc when the user has it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-calc")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
