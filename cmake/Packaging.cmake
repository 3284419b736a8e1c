# Release packages, made with cpack from a build folder:
#   Linux:   brisendel_<version>_amd64.deb  (Brisendel.so in /usr/lib/vst, the LV2 bundle in
#            /usr/lib/lv2/Brisendel.lv2, brisendel in /usr/bin, its manual page and the
#            package's copyright and changelog), checked by lintian in tests/packaging
#   ARM:     brisendel_<version>_arm64.deb  (the VST 2 module and the LV2 bundle, cross-built)
#   Windows: Brisendel-<version>-win64.zip  (Brisendel.dll and a README)
set(CPACK_PACKAGE_VENDOR "Orlask")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orlask <support@orlask.invalid>")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Brisendel stereo imaging effect (VST 2.4)")
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
    # The cross-built plug-ins alone (brisendel's libraries are not cross-built).
    # dpkg-shlibdeps knows only the build machine's libraries, so the modules'
    # needs are declared here: the C and C++ runtimes, at the versions of the
    # newest symbols they take from them (GLIBC_2.29, GCC_4.2.0, GLIBCXX_3.4.21).
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stereo imaging effect as VST 2 and LV2 plug-ins for 64-bit ARM")
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Brisendel splits every frequency component of a stereo signal into the part
both channels share (center) and each channel's own remainder (side), weights
the two and puts the signal back together, 4096 frames later.

This package holds Brisendel.so in /usr/lib/vst, the VST 2.4 plug-in for
Linux hosts, and Brisendel.lv2 in /usr/lib/lv2, the same effect as an LV2
plug-in, with its presets and its view of the stereo field.")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.29), libgcc-s1 (>= 4.2), libstdc++6 (>= 5)")
    if(TARGET Brisendel_lv2_ui)
      # The view adds Xlib and cairo, at the versions dpkg-shlibdeps finds for
      # the same view built for x86-64, and a newer C++ runtime (GLIBCXX_3.4.21).
      set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libc6 (>= 2.29), libcairo2 (>= 1.2.4), libgcc-s1 (>= 4.2), libstdc++6 (>= 5.2), libx11-6")
    endif()
  else()
    # Debian's synopsis must not start with the package name; the description
    # under it stays within 80 columns and says what the package holds.
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stereo imaging effect as VST 2 and LV2 plug-ins, with a command-line tool")
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Brisendel splits every frequency component of a stereo signal into the part
both channels share (center) and each channel's own remainder (side), weights
the two and puts the signal back together, 4096 frames later. With both
weights at 100 % the output is the input, delayed.

This package holds:
 - Brisendel.so in /usr/lib/vst, the VST 2.4 plug-in for Linux hosts;
 - Brisendel.lv2 in /usr/lib/lv2, the same effect as an LV2 plug-in, with
   its presets;
 - brisendel, a command-line tool that renders audio files through the
   plug-in, analyses their stereo field and draws it as PNG or SVG.

brisendel reads and writes WAV, RF64, W64, AIFF, CAF, FLAC, Ogg Vorbis, Opus
and MP3 files.")
    # dpkg-shlibdeps reads the installed programs' library needs, so the package
    # declares whatever they link without a list kept by hand. It runs from
    # DebianDepends.cmake rather than through CPack's own switch: that switch
    # also makes CPack call ldconfig on installation and removal for every
    # shared object under /usr/lib, and the plug-in modules are not libraries
    # anything links against.
    file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake CONTENT
"set(BRISENDEL_PACKAGED_BINARIES \"$<TARGET_FILE:brisendel>;$<TARGET_FILE:Brisendel>;$<$<TARGET_EXISTS:Brisendel_lv2>:$<TARGET_FILE:Brisendel_lv2>>;$<$<TARGET_EXISTS:Brisendel_lv2_ui>:$<TARGET_FILE:Brisendel_lv2_ui>>\")
include(\"${PROJECT_SOURCE_DIR}/cmake/DebianDepends.cmake\")
")
    set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)
  endif()

  # The package's documents, compressed as Debian wants them: gzip -9, without
  # a name or time stamp, so that the same sources give the same package.
  set(_documents)
  foreach(document changelog brisendel.1)
    set(_source ${PROJECT_SOURCE_DIR}/packaging/deb/${document})
    set(_compressed ${PROJECT_BINARY_DIR}/packaging/${document}.gz)
    add_custom_command(OUTPUT ${_compressed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
      COMMAND sh -c "gzip -9 -n -c \"$0\" > \"$1\"" ${_source} ${_compressed}
      DEPENDS ${_source}
      VERBATIM)
    list(APPEND _documents ${_compressed})
  endforeach()
  add_custom_target(package_documents ALL DEPENDS ${_documents})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/deb/copyright
                ${PROJECT_BINARY_DIR}/packaging/changelog.gz
          DESTINATION share/doc/brisendel COMPONENT documents)
  if(TARGET brisendel)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/brisendel.1.gz
            DESTINATION share/man/man1 COMPONENT documents)
  endif()
endif()

include(CPack)
