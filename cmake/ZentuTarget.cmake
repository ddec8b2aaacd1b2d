# Common settings for every Zentu target: warnings, sanitizers and the Qt precompiled header.

add_library(zentu_options INTERFACE)
target_compile_options(zentu_options INTERFACE -Wall -Wextra)
if(ZENTU_WERROR)
  target_compile_options(zentu_options INTERFACE -Werror)
endif()
# why: g++ 12 reports std::string operations inlined from its own headers as overflows at
# -O2/-O3 (false positives); they stay warnings so optimised builds with -Werror still build.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(zentu_options INTERFACE
    -Wno-error=stringop-overflow -Wno-error=array-bounds -Wno-error=restrict)
endif()
if(ZENTU_SANITIZE)
  # why: line tables are all a sanitizer report needs, and full debug information costs CI time.
  target_compile_options(zentu_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g1)
  target_link_options(zentu_options INTERFACE -fsanitize=address,undefined)
endif()

# Qt headers dominate compile time; every library and test binary precompiles them (programs of
# one or two sources do not: building the header would cost more than it saves).
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
