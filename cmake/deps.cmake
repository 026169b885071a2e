# Third-party libraries: zlib from Debian's mingw package; tinyxml, OpenSSL, nghttp2, libcurl,
# fmt and spdlog from the prefix scripts/build-deps.sh cross-builds; header-only nlohmann-json
# and stb.
set(TAMSEL_DEPS_PREFIX "" CACHE PATH "Cross-built dependency prefix (scripts/setup.sh prints it)")
if(NOT EXISTS ${TAMSEL_DEPS_PREFIX}/lib/libtinyxml.a)
  message(FATAL_ERROR "No dependency prefix at ${TAMSEL_DEPS_PREFIX}: run scripts/setup.sh first.")
endif()

set(_mingw_sys /usr/${MINGW_TRIPLE})

add_library(dep_zlib STATIC IMPORTED GLOBAL)
set_target_properties(dep_zlib PROPERTIES
  IMPORTED_LOCATION ${_mingw_sys}/lib/libz.a
  INTERFACE_INCLUDE_DIRECTORIES ${_mingw_sys}/include)

add_library(dep_tinyxml STATIC IMPORTED GLOBAL)
set_target_properties(dep_tinyxml PROPERTIES
  IMPORTED_LOCATION ${TAMSEL_DEPS_PREFIX}/lib/libtinyxml.a
  INTERFACE_INCLUDE_DIRECTORIES ${TAMSEL_DEPS_PREFIX}/include
  INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)

foreach(lib ssl crypto nghttp2)
  add_library(dep_${lib} STATIC IMPORTED GLOBAL)
  set_target_properties(dep_${lib} PROPERTIES
    IMPORTED_LOCATION ${TAMSEL_DEPS_PREFIX}/lib/lib${lib}.a
    INTERFACE_INCLUDE_DIRECTORIES ${TAMSEL_DEPS_PREFIX}/include)
endforeach()
set_property(TARGET dep_crypto PROPERTY INTERFACE_LINK_LIBRARIES ws2_32 crypt32 bcrypt advapi32 user32)
set_property(TARGET dep_ssl PROPERTY INTERFACE_LINK_LIBRARIES dep_crypto)

add_library(dep_curl STATIC IMPORTED GLOBAL)
set_target_properties(dep_curl PROPERTIES
  IMPORTED_LOCATION ${TAMSEL_DEPS_PREFIX}/lib/libcurl.a
  INTERFACE_INCLUDE_DIRECTORIES ${TAMSEL_DEPS_PREFIX}/include
  INTERFACE_COMPILE_DEFINITIONS "CURL_STATICLIB;NGHTTP2_STATICLIB"
  INTERFACE_LINK_LIBRARIES "dep_nghttp2;dep_ssl;dep_crypto;dep_zlib;ws2_32;crypt32;bcrypt;advapi32;user32")

# fmt and spdlog: only the log benchmark's anchor links them.
add_library(dep_fmt STATIC IMPORTED GLOBAL)
set_target_properties(dep_fmt PROPERTIES
  IMPORTED_LOCATION ${TAMSEL_DEPS_PREFIX}/lib/libfmt.a
  INTERFACE_INCLUDE_DIRECTORIES ${TAMSEL_DEPS_PREFIX}/include)
add_library(dep_spdlog STATIC IMPORTED GLOBAL)
set_target_properties(dep_spdlog PROPERTIES
  IMPORTED_LOCATION ${TAMSEL_DEPS_PREFIX}/lib/libspdlog.a
  INTERFACE_INCLUDE_DIRECTORIES ${TAMSEL_DEPS_PREFIX}/include
  INTERFACE_COMPILE_DEFINITIONS "SPDLOG_COMPILED_LIB;SPDLOG_FMT_EXTERNAL"
  INTERFACE_LINK_LIBRARIES dep_fmt)

# Header-only libraries: expose their own folders only, never /usr/include itself.
set(_hdr ${CMAKE_BINARY_DIR}/third_party_include)
file(MAKE_DIRECTORY ${_hdr})
file(CREATE_LINK /usr/include/nlohmann ${_hdr}/nlohmann SYMBOLIC)
file(CREATE_LINK /usr/include/stb ${_hdr}/stb SYMBOLIC)
add_library(dep_json INTERFACE)
target_include_directories(dep_json SYSTEM INTERFACE ${_hdr})
add_library(dep_stb INTERFACE)
target_include_directories(dep_stb SYSTEM INTERFACE ${_hdr}/stb)
