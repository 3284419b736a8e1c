# Release packages, made with cpack from a build folder:
#   Linux:   brisendel_<version>_amd64.deb  (Brisendel.so in /usr/lib/vst, brisendel in /usr/bin)
#   ARM:     brisendel_<version>_arm64.deb  (Brisendel.so in /usr/lib/vst)
#   Windows: Brisendel-<version>-win64.zip  (Brisendel.dll and a README)
set(CPACK_PACKAGE_VENDOR "Orlask")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Brisendel stereo imaging effect (VST 2.4)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orlask <support@orlask.invalid>")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "Brisendel-${PROJECT_VERSION}-win64")
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/README-win64.txt DESTINATION . RENAME README.txt)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME brisendel)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
    # The cross-built plug-in alone (brisendel's libraries are not cross-built).
    # dpkg-shlibdeps knows only the build machine's libraries, so the module's
    # needs are declared here: the C and C++ runtimes, at the versions of the
    # newest symbols it takes from them (GLIBC_2.29, GCC_4.2.0, GLIBCXX_3.4.21).
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Brisendel.so for 64-bit ARM, installed in /usr/lib/vst \
where VST 2 hosts on Linux look.")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.29), libgcc-s1 (>= 4.2), libstdc++6 (>= 5)")
  else()
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Brisendel.so, installed in /usr/lib/vst where VST 2 hosts \
on Linux look, and brisendel, the command-line host that renders WAVE files through it.")
    # dpkg-shlibdeps reads the installed programs' library needs, so the package
    # declares whatever the tool links without a list kept by hand.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  endif()
endif()

include(CPack)
