# Delay-loading a system DLL into one program: the DLL is loaded when the program first calls
# one of its functions, not at every start. The agent links the skin library for its progress
# window, and with it references to GDI+ that it never calls; loading gdiplus.dll (and under
# Wine the codecs it pulls in) at start would cost the always-running agent memory and time.
#
#   vireo_delay_load(hid gdiplus)
#
# MinGW: a delay-import library of the DLL's exports, made from the toolchain's import library,
# is put first on the program's library path, so "-lgdiplus" finds it. MSVC: /DELAYLOAD.

# Script mode: writes the delay-import library OUTPUT for DLL from the import library IMPORT.
if(CMAKE_SCRIPT_MODE_FILE)
  execute_process(COMMAND ${NM} ${IMPORT} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot list the exports of ${IMPORT}")
  endif()
  string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@]+" imports "${symbols}")
  list(TRANSFORM imports REPLACE " I __imp_" "")
  list(REMOVE_DUPLICATES imports)
  list(JOIN imports "\n" exports)
  get_filename_component(folder ${OUTPUT} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  file(WRITE ${OUTPUT}.def "LIBRARY ${DLL}\nEXPORTS\n${exports}\n")
  execute_process(COMMAND ${DLLTOOL} --input-def ${OUTPUT}.def --dllname ${DLL}
                          --output-delaylib ${OUTPUT} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot make the delay-import library ${OUTPUT}")
  endif()
  return()
endif()

function(vireo_delay_load target library)
  if(MSVC)
    target_link_options(${target} PRIVATE /DELAYLOAD:${library}.dll)
    target_link_libraries(${target} PRIVATE delayimp)
    return()
  endif()
  if(NOT MINGW OR NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
    return()
  endif()
  find_library(vireo_import_${library} ${library})
  if(NOT vireo_import_${library})
    return()
  endif()
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/delay_load_${target})
  set(output ${folder}/lib${library}.a)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL}
            -DIMPORT=${vireo_import_${library}} -DDLL=${library}.dll -DOUTPUT=${output}
            -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS ${vireo_import_${library}} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Delay-import library of ${library}.dll for ${target}")
  add_custom_target(${target}_delay_${library} DEPENDS ${output})
  add_dependencies(${target} ${target}_delay_${library})
  target_link_directories(${target} PRIVATE ${folder})
endfunction()
