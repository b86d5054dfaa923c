# The browser build (emcmake cmake -B build-web; scripts/web.sh does it all): the core compiled to
# WebAssembly, its tests run by Node, and the pieces the browser page is made of. No Qt here.
# Debian's header-only libraries, GoogleTest's sources and giflib's Debian sources stand in for
# what the desktop build finds installed, under the same target names.

enable_language(C)

# JavaScript exception handling: the prebuilt libraries that come with Debian's emscripten have no
# variant for WebAssembly's own exceptions, and Asyncify does not take those either.
add_compile_options(-fexceptions)
add_link_options(-fexceptions -sALLOW_MEMORY_GROWTH=1)

# Node 20 would try fetch() for the .wasm beside a test's script and fail on a file path.
find_program(KEPLER_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KEPLER_NODE} --no-experimental-fetch)

# fmt and fast_float from /usr/include, seen through a folder that holds only them, so that no
# other host header can shadow emscripten's own C library.
set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
foreach(library fmt fast_float)
  find_path(${library}_host_dir ${library} PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ${library}_host_dir)
    message(FATAL_ERROR "/usr/include/${library} is missing: apt-get install libfmt-dev libfast-float-dev")
  endif()
  file(MAKE_DIRECTORY ${host_headers})
  file(CREATE_LINK ${${library}_host_dir}/${library} ${host_headers}/${library} SYMBOLIC)
endforeach()
add_library(fmt::fmt-header-only INTERFACE IMPORTED)
target_compile_definitions(fmt::fmt-header-only INTERFACE FMT_HEADER_ONLY=1)
target_include_directories(fmt::fmt-header-only SYSTEM INTERFACE ${host_headers})
add_library(FastFloat::fast_float INTERFACE IMPORTED)
target_include_directories(FastFloat::fast_float SYSTEM INTERFACE ${host_headers})

# giflib from the Debian source package (scripts/web.sh unpacks it into the build folder, with
# Debian's patches applied), as the static library GIF::GIF.
set(KEPLER_GIFLIB_SOURCE ${CMAKE_BINARY_DIR}/giflib/source CACHE PATH "Unpacked giflib sources")
if(NOT EXISTS ${KEPLER_GIFLIB_SOURCE}/gif_lib.h)
  message(FATAL_ERROR "No giflib sources in ${KEPLER_GIFLIB_SOURCE}; scripts/web.sh fetches them")
endif()
add_library(gif STATIC)
foreach(file dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_font.c gif_hash.c
             openbsd-reallocarray.c quantize.c)
  target_sources(gif PRIVATE ${KEPLER_GIFLIB_SOURCE}/${file})
endforeach()
target_include_directories(gif SYSTEM PUBLIC ${KEPLER_GIFLIB_SOURCE})
target_compile_options(gif PRIVATE -w)
add_library(GIF::GIF ALIAS gif)

# The program's nine files come from the desktop build's tools (the pictures are drawn with Qt);
# scripts/web.sh builds them first.
set(KEPLER_ASSET_DIR ${CMAKE_SOURCE_DIR}/build/assets CACHE PATH "The program's files, as the desktop build makes them")
# And the icon at the web app's sizes (the site, web/CMakeLists.txt).
set(KEPLER_WEB_ICON_DIR ${CMAKE_SOURCE_DIR}/build/icon/web CACHE PATH "The web app's icons, as the desktop build makes them")

# The core, the platform-free forms layer and the window (Form1 and its routines), and the
# browser backend they run on.
add_subdirectory(src)
add_subdirectory(web)

include(CTest)
if(BUILD_TESTING)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
  include(GoogleTest)
  add_subdirectory(tests/core)
  add_subdirectory(tests/reader)
  add_subdirectory(tests/forms)
  add_subdirectory(tests/web)
  foreach(test core_test reader_test forms_model_test)
    target_link_options(${test} PRIVATE -sENVIRONMENT=node)
  endforeach()
endif()
