# The install of `make install`, made into the build folder and read by the desktop's own
# validators: the menu entry, the AppStream metadata, the MIME types and the layout. The
# command-line tests run the built program as a user would, and read the installed MIME
# package through Qt's own MIME database.
set(PERIX_INSTALLATO ${CMAKE_BINARY_DIR}/prova-installazione)
add_dependencies(prova_comando perix)
target_compile_definitions(prova_comando PRIVATE PERIX_ESEGUIBILE="$<TARGET_FILE:perix>")

if(NOT UNIX OR APPLE)
  return()
endif()
set(PERIX_ID example.velmora.Perix)

add_test(NAME installazione
  COMMAND bash -c "rm -rf '${PERIX_INSTALLATO}' && '${CMAKE_COMMAND}' --install '${CMAKE_BINARY_DIR}' --prefix '${PERIX_INSTALLATO}' >/dev/null")
set_tests_properties(installazione PROPERTIES FIXTURES_SETUP installato)

# Every file where the desktop and the program look for it; the Debian-only notes not there.
add_test(NAME installazione_disposizione
  COMMAND bash -c "cd '${PERIX_INSTALLATO}' && for f in bin/perix share/applications/${PERIX_ID}.desktop \
share/metainfo/${PERIX_ID}.metainfo.xml share/mime/packages/${PERIX_ID}.xml \
share/icons/hicolor/scalable/apps/${PERIX_ID}.svg share/perix/Internet.mid share/perix/SuggerimentiPerix.TXT \
share/perix/listino.txt share/perix/esempi/Perix-menu-esempio share/perix/esempi/Perix-alt-esempio \
share/man/man1/perix.1.gz; do \
[ -f $f ] || { echo manca $f; exit 1; }; done; [ -x bin/perix ] && [ ! -e share/doc/perix ]")

add_test(NAME installazione_desktop
  COMMAND bash -c "out=$(desktop-file-validate '${PERIX_INSTALLATO}/share/applications/${PERIX_ID}.desktop' 2>&1); rc=$?; echo \"$out\"; [ $rc -eq 0 ] && [ -z \"$out\" ]")
# validate-tree also finds the desktop entry and the icon the metadata points to.
add_test(NAME installazione_metainfo
  COMMAND bash -c "appstreamcli validate --no-net --explain '${PERIX_INSTALLATO}/share/metainfo/${PERIX_ID}.metainfo.xml' && appstreamcli validate-tree --no-net '${PERIX_INSTALLATO}'")
# Well-formed, then compiled by the desktop's own tool into a scratch database, which must
# know the six archive kinds by their prefixes and say nothing else.
add_test(NAME installazione_mime
  COMMAND bash -c "f='${PERIX_INSTALLATO}/share/mime/packages/${PERIX_ID}.xml'; xmllint --noout \"$f\" || exit 1; \
d=$(mktemp -d) && mkdir -p \"$d/mime/packages\" && cp \"$f\" \"$d/mime/packages/\" && \
out=$(XDG_DATA_DIRS=\"$d\" update-mime-database \"$d/mime\" 2>&1); echo \"$out\"; \
n=$(grep -ic ':perix-[a-z]*-\\*$' \"$d/mime/globs2\"); echo \"$n prefissi\"; rm -rf \"$d\"; [ -z \"$out\" ] && [ \"$n\" -eq 6 ]")
set_tests_properties(installazione_disposizione installazione_desktop installazione_metainfo installazione_mime
  PROPERTIES FIXTURES_REQUIRED installato)

set_property(TEST prova_comando APPEND PROPERTY ENVIRONMENT
             "PERIX_INSTALLATO=${PERIX_INSTALLATO};XDG_DATA_DIRS=${PERIX_INSTALLATO}/share:/usr/local/share:/usr/share")
set_property(TEST prova_comando APPEND PROPERTY FIXTURES_REQUIRED installato)
