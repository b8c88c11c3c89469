# The plug-in exports its entry points and the five record functions, and
# nothing of its own classes: two plug-ins in one host must never clash.
execute_process(COMMAND nm -D --defined-only ${PLUGIN} OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "nm could not read ${PLUGIN}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(expected VSTPluginMain dispatchEffectClass getParameterClass main processClass processClassReplacing
             setParameterClass)
set(found "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" symbol "${line}")
  list(APPEND found ${symbol})
endforeach()
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exported: ${found}\nexpected: ${expected}")
endif()
