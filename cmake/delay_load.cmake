# tamsel_delay_load(TARGET NAME...): TARGET loads the system DLLs of the named import libraries
# (ws2_32, crypt32, ...) at the first call into each instead of at process start. A delay-import
# library is made for each from mingw's import library and put first on TARGET's library path
# under the same name, so every -lNAME of TARGET and of the libraries it links resolves to it.
# mingw's CRT provides the loader (__delayLoadHelper2).
function(tamsel_delay_load target)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_delay_load)
  set(made)
  foreach(name IN LISTS ARGN)
    find_library(TAMSEL_IMPORT_LIB_${name} NAMES lib${name}.a REQUIRED)
    set(import_lib ${TAMSEL_IMPORT_LIB_${name}})
    add_custom_command(OUTPUT ${dir}/lib${name}.a
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DAR=${CMAKE_AR} -DDLLTOOL=${CMAKE_DLLTOOL}
              -DOBJCOPY=${CMAKE_OBJCOPY} -DIMPORT_LIB=${import_lib} -DOUTPUT=${dir}/lib${name}.a
              -P ${TAMSEL_DELAY_LIB_SCRIPT}
      DEPENDS ${import_lib} ${TAMSEL_DELAY_LIB_SCRIPT}
      COMMENT "Making the delay-import library of ${name}")
    list(APPEND made ${dir}/lib${name}.a)
  endforeach()
  add_custom_target(${target}_delay_libs DEPENDS ${made})
  add_dependencies(${target} ${target}_delay_libs)
  target_link_directories(${target} BEFORE PRIVATE ${dir})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${made})
endfunction()

set(TAMSEL_DELAY_LIB_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/make_delay_lib.cmake)
