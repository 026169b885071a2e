# cmake -DNM=... -DAR=... -DDLLTOOL=... -DOBJCOPY=... -DIMPORT_LIB=lib<name>.a -DOUTPUT=<file>
#       -P make_delay_lib.cmake
# Makes the delay-import counterpart of a mingw import library: every function it imports from
# its DLL, delay-imported, plus the library's own static members (helpers such as gai_strerror)
# unchanged.
execute_process(COMMAND ${DLLTOOL} --identify ${IMPORT_LIB} OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${AR} t ${IMPORT_LIB} OUTPUT_VARIABLE members COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${NM} -A ${IMPORT_LIB} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "${IMPORT_LIB}:" "" symbols "${symbols}")

# An imported function is its thunk "_Name@N" and its address slot "__imp__Name@N"; members
# with import symbols ("I") belong to the import table, the others are ordinary code.
string(REGEX MATCHALL "[^\n]* I [^\n]+" import_lines "${symbols}")
set(exports "")
set(thunks "")
set(import_members "")
foreach(line IN LISTS import_lines)
  string(REGEX REPLACE ":.*" "" member "${line}")
  list(APPEND import_members ${member})
  if(line MATCHES " I __imp__(.+)$")
    set(name ${CMAKE_MATCH_1})
    string(FIND "${symbols}" " T _${name}\n" thunk)
    if(thunk GREATER -1)
      string(APPEND exports "${name}\n")
      string(APPEND thunks "_${name}\n")
    endif()
  endif()
endforeach()
if(exports STREQUAL "")
  message(FATAL_ERROR "${IMPORT_LIB}: no imported function found")
endif()
string(REGEX REPLACE "\n$" "" members "${members}")
string(REPLACE "\n" ";" members "${members}")
list(REMOVE_ITEM members ${import_members})

set(work ${OUTPUT}.parts)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
file(REMOVE ${OUTPUT})
file(WRITE ${work}/exports.def "LIBRARY ${dll}\nEXPORTS\n${exports}")
# -k: the DLL exports the names without the stdcall suffix.
execute_process(COMMAND ${DLLTOOL} -k --input-def ${work}/exports.def --dllname ${dll} --output-delaylib ${OUTPUT}
                COMMAND_ERROR_IS_FATAL ANY)
# ld drops an import member's code when nothing names its thunk ("_Name@N"), taking the stub that
# loads the DLL with it, and the address slot then holds 0. Without thunk symbols the code stays;
# calls go through the "__imp_" slot, as every call of a dllimport declaration does.
file(WRITE ${work}/thunks.txt "${thunks}")
execute_process(COMMAND ${OBJCOPY} --strip-symbols=${work}/thunks.txt ${OUTPUT} COMMAND_ERROR_IS_FATAL ANY)
if(members)
  execute_process(COMMAND ${AR} x ${IMPORT_LIB} ${members} WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${AR} rs ${OUTPUT} ${members} WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
endif()
