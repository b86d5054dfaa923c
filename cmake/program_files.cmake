# The nine files the program reads, by the bare names it opens them with, each after the name of
# its constant in core/program_files.h, which the build writes from this list: the six body
# pictures, the laws picture and the two data files of recorded positions. The one list of them:
# the program, the rules that make the files, the installer, the benchmark and the tests all take
# the names from here.
set(KEPLER_PICTURE_FILE_TABLE
  kPlanetPicture  wakusei01.gif
  kEarthPicture   earth02.gif
  kMarsPicture    mars01.gif
  kMercuryPicture suisei02.gif
  kCometPicture   harei01.gif
  kVenusPicture   Venus01.gif
  kLawsPicture    kepler.bmp
)
set(KEPLER_DATA_FILE_TABLE
  kMarsData    kasei-kouten-Koukei.dat
  kMercuryData Suisei-kouten-Koukei.dat
)

# From the tables: KEPLER_PICTURE_FILES, KEPLER_DATA_FILES and KEPLER_PROGRAM_FILES (the names, in
# the tables' order) and KEPLER_FILE_<constant> (one name).
set(KEPLER_PROGRAM_FILES)
foreach(kind PICTURE DATA)
  set(KEPLER_${kind}_FILES)
  set(table ${KEPLER_${kind}_FILE_TABLE})
  list(LENGTH table length)
  math(EXPR last "${length} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR next "${i} + 1")
    list(GET table ${i} constant)
    list(GET table ${next} name)
    set(KEPLER_FILE_${constant} ${name})
    list(APPEND KEPLER_${kind}_FILES ${name})
    list(APPEND KEPLER_PROGRAM_FILES ${name})
  endforeach()
endforeach()

# Writes core/program_files.h below `folder`.
function(kepler_write_program_files_header folder)
  set(constants "")
  set(names "")
  foreach(table KEPLER_PICTURE_FILE_TABLE KEPLER_DATA_FILE_TABLE)
    set(rows ${${table}})
    list(LENGTH rows length)
    math(EXPR last "${length} - 1")
    foreach(i RANGE 0 ${last} 2)
      list(GET rows ${i} constant)
      string(APPEND constants
        "inline constexpr std::string_view ${constant} = \"${KEPLER_FILE_${constant}}\";\n")
      string(APPEND names "    ${constant},\n")
    endforeach()
  endforeach()
  list(LENGTH KEPLER_PROGRAM_FILES count)
  configure_file(${PROJECT_SOURCE_DIR}/src/core/program_files.h.in
                 ${folder}/core/program_files.h @ONLY)
endfunction()

# Sources whose texts never reach the window in the program's own faces (font names, a terminal
# line, the lesson strip's symbols): left out of the characters the faces are cut down to.
set(KEPLER_TEXT_EXCLUDES --exclude */font.h --exclude */fonts.h --exclude */display_start.cpp
  --exclude */lesson_symbols.h)
