# Install layout and the Debian package.
#
#   bin/chenxing, bin/chenxing-review
#   lib/chenxing/chenxing-media.so                    sound output and read-aloud voice, loaded when first needed
#   lib/chenxing/chenxing-review-stats.so             the review program's statistics page, loaded when opened
#   share/chenxing/sound/<letter>/<number>.wav        recordings (the program's working folder)
#   share/chenxing/sound/review/<letter>/<word>.wav   the review cards' words of units 013-024
#   share/applications/chenxing.desktop, chenxing-review.desktop
#   share/metainfo/io.github.chenxing.Chenxing.metainfo.xml, io.github.chenxing.ChenxingReview.metainfo.xml
#   share/icons/hicolor/scalable/apps/chenxing{,-review}.svg, <n>x<n>/apps/chenxing{,-review}.png
#   share/man/man1/chenxing.1.gz, chenxing-review.1.gz
#   share/doc/chenxing/copyright, OFL.txt, changelog.gz
include(GNUInstallDirs)

set(CHENXING_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(CHENXING_PACKAGING_BINARY_DIR ${PROJECT_BINARY_DIR}/packaging)
set(CHENXING_ICON_SIZES 16 24 32 48 64 128 256)

# --- Recordings --------------------------------------------------------------------------------
# Made in the build folder from the sound table, the review cards (both from chenxing-export) and
# the respellings; make_recordings.py keeps the files its record (sound/voice.txt) shows were made
# by the current voice, so a rebuild after a content change only speaks the new words, and
# recordings of an earlier voice are made again. The install takes sound/ whole, review/ with it.
option(CHENXING_RECORDINGS "Make the recorded pronunciations (needs flite) and install them" ON)
if(CHENXING_RECORDINGS)
  find_program(CHENXING_FLITE flite)
  if(NOT CHENXING_FLITE)
    message(FATAL_ERROR "The recordings need flite (tools/setup.sh installs it); "
                        "or configure with -DCHENXING_RECORDINGS=OFF to build without them.")
  endif()
  set(CHENXING_SOUND_DIR ${PROJECT_BINARY_DIR}/sound)
  set(recordings_stamp ${PROJECT_BINARY_DIR}/CMakeFiles/chenxing-recordings.stamp)
  set(respellings ${PROJECT_SOURCE_DIR}/content/data/respellings.txt)
  add_custom_command(
    OUTPUT ${recordings_stamp}
    COMMAND $<TARGET_FILE:chenxing-export> | ${CHENXING_PYTHON}
            ${PROJECT_SOURCE_DIR}/tools/make_recordings.py ${CHENXING_SOUND_DIR} ${respellings}
    COMMAND ${CMAKE_COMMAND} -E touch ${recordings_stamp}
    DEPENDS chenxing-export ${PROJECT_SOURCE_DIR}/tools/make_recordings.py ${respellings}
    COMMENT "Making the recorded pronunciations"
    VERBATIM)
  add_custom_target(recordings ALL DEPENDS ${recordings_stamp})
  install(DIRECTORY ${CHENXING_SOUND_DIR}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/chenxing
          FILES_MATCHING PATTERN "*.wav")
endif()

# --- Icons -------------------------------------------------------------------------------------
set(CHENXING_ICON_SVG ${PROJECT_SOURCE_DIR}/app/icons/chenxing.svg)
set(CHENXING_REVIEW_ICON_SVG ${PROJECT_SOURCE_DIR}/review/icons/chenxing-review.svg)
set(icon_dir ${CHENXING_PACKAGING_BINARY_DIR}/icons)
set(icon_pngs)
set(icon_commands)
foreach(svg ${CHENXING_ICON_SVG} ${CHENXING_REVIEW_ICON_SVG})
  get_filename_component(icon_name ${svg} NAME_WE)
  foreach(size IN LISTS CHENXING_ICON_SIZES)
    list(APPEND icon_pngs ${icon_dir}/${size}x${size}/apps/${icon_name}.png)
  endforeach()
  list(APPEND icon_commands COMMAND chenxing-render-icons ${svg} ${icon_dir} ${CHENXING_ICON_SIZES})
endforeach()
add_custom_command(
  OUTPUT ${icon_pngs}
  ${icon_commands}
  DEPENDS chenxing-render-icons ${CHENXING_ICON_SVG} ${CHENXING_REVIEW_ICON_SVG}
  COMMENT "Rendering the program icons"
  VERBATIM)

# --- Manual page and change log, compressed as Debian installs them -----------------------------
set(man_page ${CHENXING_PACKAGING_BINARY_DIR}/chenxing.1.gz)
set(review_man_page ${CHENXING_PACKAGING_BINARY_DIR}/chenxing-review.1.gz)
set(changelog ${CHENXING_PACKAGING_BINARY_DIR}/changelog.gz)
foreach(pair "chenxing.1;${man_page}" "chenxing-review.1;${review_man_page}" "changelog;${changelog}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(
    OUTPUT ${target}
    COMMAND gzip -9 -n -c ${CHENXING_PACKAGING_DIR}/${source} > ${target}
    DEPENDS ${CHENXING_PACKAGING_DIR}/${source}
    COMMENT "Compressing packaging/${source}"
    VERBATIM)
endforeach()

add_custom_target(desktop_files ALL DEPENDS ${icon_pngs} ${man_page} ${review_man_page} ${changelog})

install(FILES ${CHENXING_ICON_SVG} ${CHENXING_REVIEW_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${man_page} ${review_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CHENXING_PACKAGING_DIR}/io.github.chenxing.Chenxing.metainfo.xml
              ${CHENXING_PACKAGING_DIR}/io.github.chenxing.ChenxingReview.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CHENXING_PACKAGING_DIR}/copyright ${CHENXING_PACKAGING_DIR}/OFL.txt ${changelog}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- Desktop entry -----------------------------------------------------------------------------
# Its Path= names the installed data folder, where the program finds sound/. The prefix is only
# final at install time (cmake --install --prefix, CPack's /usr), so the entry is configured
# then rather than with the configure-time CMAKE_INSTALL_FULL_DATADIR.
install(CODE "
  set(chenxing_datadir \"${CMAKE_INSTALL_DATADIR}\")
  if(NOT IS_ABSOLUTE \"\${chenxing_datadir}\")
    set(chenxing_datadir \"\${CMAKE_INSTALL_PREFIX}/\${chenxing_datadir}\")
  endif()
  set(CHENXING_DATA_DIR \"\${chenxing_datadir}/chenxing\")
  string(MD5 chenxing_prefix_hash \"\${CHENXING_DATA_DIR}\")
  set(chenxing_entry_dir \"${CHENXING_PACKAGING_BINARY_DIR}/desktop-\${chenxing_prefix_hash}\")
  foreach(entry chenxing chenxing-review)
    configure_file(\"${CHENXING_PACKAGING_DIR}/\${entry}.desktop.in\" \"\${chenxing_entry_dir}/\${entry}.desktop\" @ONLY)
    file(INSTALL DESTINATION \"\${chenxing_datadir}/applications\" TYPE FILE
         FILES \"\${chenxing_entry_dir}/\${entry}.desktop\")
  endforeach()
  file(REMOVE_RECURSE \"\${chenxing_entry_dir}\")
")

# --- Debian package (cpack -G DEB) -------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chenxing)
set(CPACK_PACKAGE_VENDOR "晨星学堂开发组")
set(CPACK_PACKAGE_CONTACT "晨星学堂开发组 <dev@chenxing.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/chenxing/chenxing")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "English-vocabulary trainer for Simplified-Chinese speakers")
set(CPACK_PACKAGE_DESCRIPTION
  "晨星学堂 shows, as you type an English word, its Chinese meaning, its character
code (汉字码: a Chinese phrase whose characters, read aloud, spell the word letter
by letter) and its phonetic transcription. It also offers a word list with
recorded pronunciations, practice sheets, fifty short humorous stories with
translations and vocabulary units, and a window that reads English text aloud.
A second program, 晨星复习 (chenxing-review), drills the 648 practice words as
flash cards, recall and dictation, scheduled by FSRS, and keeps the learner's
progress in a SQLite file.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Loaded at run time, so the library scan cannot see them: the X11 and Wayland platform plugins,
# the SQLite driver, the Chinese pane font, the speech engine and the SVG icon engine (libqt6svg6;
# the buttons' SVGs are drawn on screens of other than single or double density). The scan reads
# the modules in lib/chenxing too, so Qt Multimedia, Qt TextToSpeech and Qt Charts are found.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming, fonts-noto-cjk, fonts-dejavu-core, qt6-qpa-plugins, qt6-wayland, qt6-speech-flite-plugin, libqt6sql6-sqlite, libqt6svg6")
if(CHENXING_PACKED_RELOCS)
  # Packed relocations need the loader of glibc 2.36; the scan sees symbols only, not that.
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libc6 (>= 2.36)")
endif()
# Qt's own Chinese texts (the standard edit menus); without them those menus read in English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-speech-speechd-plugin, speech-dispatcher")

include(CPack)

# The install test checks the tree against what this file lays out.
if(TARGET test_install)
  string(REPLACE ";" "," icon_sizes "${CHENXING_ICON_SIZES}")
  target_compile_definitions(test_install PRIVATE
    CHENXING_RECORDINGS=$<BOOL:${CHENXING_RECORDINGS}>
    CHENXING_ICON_SIZES="${icon_sizes}"
    CHENXING_DATADIR="${CMAKE_INSTALL_DATADIR}")
endif()
