# Installs the program like a desktop program: the binary, its nine files in share/kepler-laws,
# a launcher that starts it with that folder as working directory, a menu entry, an icon and the
# licences of its two embedded fonts.
include(GNUInstallDirs)

# Qt comes from the system, so the installed program needs no run path of its own.
set_target_properties(kepler-laws PROPERTIES INSTALL_RPATH "")
install(TARGETS kepler-laws RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kepler-laws)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/kepler-laws.sh
        DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME kepler-laws)
list(TRANSFORM KEPLER_PROGRAM_FILES PREPEND ${KEPLER_ASSET_DIR}/ OUTPUT_VARIABLE program_files)
install(FILES ${program_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/kepler-laws)
install(FILES ${KEPLER_ICON_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
# The embedded fonts' licences travel with the program (src/forms/qt/CMakeLists.txt makes the
# faces and copies the licences from the font packages).
install(FILES ${KEPLER_FONT_DIR}/kepler-p-gothic-LICENSE.txt ${KEPLER_FONT_DIR}/kepler-gothic-ub-LICENSE.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kepler-laws)

# The menu entry names absolute paths, so it is written when the prefix is known: at install
# time, which also honours `cmake --install --prefix`.
install(CODE [[
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  set(entry "$ENV{DESTDIR}${prefix}/share/applications/kepler-laws.desktop")
  # Exec holds the launcher as one quoted argument, so that a prefix with spaces works: inside
  # the quotes '"', '`', '$' and '\' take a backslash, then every '\' is doubled as the file's
  # string escape and '%' is written '%%' (freedesktop.org desktop entries, the Exec key). Path is
  # a plain string value: only '\' is escaped.
  set(exec "${prefix}/bin/kepler-laws")
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REPLACE "\"" "\\\"" exec "${exec}")
  string(REPLACE "`" "\\`" exec "${exec}")
  string(REPLACE "$" "\\$" exec "${exec}")
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REPLACE "%" "%%" exec "${exec}")
  string(REPLACE "\\" "\\\\" path "${prefix}/share/kepler-laws")
  file(WRITE "${entry}" "[Desktop Entry]
Type=Application
Name=Kepler's Laws
Name[ja]=ケプラーの法則
Comment=Watch Kepler's first and second laws happen
Comment[ja]=ケプラーの第１・第２法則による惑星の運動
Exec=\"${exec}\"
Path=${path}
Icon=kepler-laws
Terminal=false
Categories=Education;Science;Astronomy;
")
  message(STATUS "Installing: ${entry}")
]])
