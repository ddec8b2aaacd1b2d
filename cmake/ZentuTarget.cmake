# Common settings for every Zentu target: warnings, sanitizers and the Qt precompiled header.

add_library(zentu_options INTERFACE)
target_compile_options(zentu_options INTERFACE -Wall -Wextra)
if(ZENTU_WERROR)
  target_compile_options(zentu_options INTERFACE -Werror)
endif()
if(ZENTU_SANITIZE)
  target_compile_options(zentu_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(zentu_options INTERFACE -fsanitize=address,undefined)
endif()

# Qt headers dominate compile time; every library and test binary precompiles them.
set(ZENTU_PCH_HEADERS
  <algorithm> <cstdint> <functional> <memory> <string> <string_view> <vector>
  <QtCore/QtCore> <QtGui/QtGui> <QtWidgets/QtWidgets>)

function(zentu_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC zentu_options ${ARG_DEPENDS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/Lib)
  target_precompile_headers(${name} PRIVATE ${ZENTU_PCH_HEADERS})
endfunction()
