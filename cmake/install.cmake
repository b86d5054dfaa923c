# Installs the program like a desktop program: the binary, its nine files in share/kepler-laws,
# a launcher that starts it with that folder as working directory, a menu entry, an icon and the
# licences of its two embedded fonts.
#
# Every user runs what an administrator installs, whatever the administrator's umask: folders the
# install makes are 755, files 644 and programs 755, set explicitly rather than left to the umask.
include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(kepler_file_permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(kepler_program_permissions ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

# The folders the install writes into. CMake gives the folder permissions only to the last level
# of a path it makes, the ones above it to the umask, and changes folders that exist already when
# told to make them; so every missing level is made here first, 755, and no existing one is touched.
set(kepler_folders ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_LIBEXECDIR}/kepler-laws
    ${CMAKE_INSTALL_DATADIR}/kepler-laws ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps
    ${CMAKE_INSTALL_DATADIR}/applications ${CMAKE_INSTALL_DATADIR}/doc/kepler-laws)
install(CODE "set(kepler_folders \"${kepler_folders}\")")
install(CODE [[
  foreach(folder IN LISTS kepler_folders)
    if(IS_ABSOLUTE "${folder}")
      set(path "$ENV{DESTDIR}${folder}")
    else()
      set(path "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${folder}")
    endif()
    string(REPLACE "/" ";" parts "${path}")
    set(made "")
    foreach(part IN LISTS parts)
      if(part STREQUAL "")
        continue()
      endif()
      string(APPEND made "/${part}")
      if(NOT EXISTS "${made}")
        file(MAKE_DIRECTORY "${made}")
        file(CHMOD "${made}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
             GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
      endif()
    endforeach()
  endforeach()
]])

# Qt comes from the system, so the installed program needs no run path of its own.
set_target_properties(kepler-laws PROPERTIES INSTALL_RPATH "")
install(TARGETS kepler-laws RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kepler-laws
        PERMISSIONS ${kepler_program_permissions})
install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/kepler-laws.sh
        DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME kepler-laws
        PERMISSIONS ${kepler_program_permissions})
list(TRANSFORM KEPLER_PROGRAM_FILES PREPEND ${KEPLER_ASSET_DIR}/ OUTPUT_VARIABLE program_files)
install(FILES ${program_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/kepler-laws
        PERMISSIONS ${kepler_file_permissions})
install(FILES ${KEPLER_ICON_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps
        PERMISSIONS ${kepler_file_permissions})
# The embedded fonts' licences travel with the program (src/forms/qt/CMakeLists.txt makes the
# faces and copies the licences from the font packages).
install(FILES ${KEPLER_FONT_DIR}/kepler-p-gothic-LICENSE.txt ${KEPLER_FONT_DIR}/kepler-gothic-ub-LICENSE.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kepler-laws
        PERMISSIONS ${kepler_file_permissions})

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
  # file(WRITE) leaves the file to the umask: a menu entry every user can read.
  file(CHMOD "${entry}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  # The program's own folders, which an earlier install under a narrow umask may have left
  # closed to other users.
  foreach(folder libexec/kepler-laws share/kepler-laws share/doc/kepler-laws)
    if(IS_DIRECTORY "$ENV{DESTDIR}${prefix}/${folder}")
      file(CHMOD "$ENV{DESTDIR}${prefix}/${folder}" PERMISSIONS OWNER_READ OWNER_WRITE
           OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
  endforeach()
  message(STATUS "Installing: ${entry}")
]])
