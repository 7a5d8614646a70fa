# Every program and library carries a version resource with the project's one version and the
# product's name (win/res/program_resources.rc.in), and every program the same application
# manifest (win/res/program.manifest): the common controls of version 6, DPI-unaware (Windows
# scales each window whole), run as the invoker.
#
# Libraries get no manifest. DPI awareness and the execution level belong to the process and
# are read from its program only; a library's own manifest (resource 2) would only choose the
# common controls for a library that creates them in isolation-aware mode, and Conduit.dll
# (a message-only window) and Snare.dll (a keyboard hook) create none.
#
#   vireo_program_manifest(hid "Vireo Gaming Mouse agent")
function(vireo_program_manifest target)
  set(VIREO_RESOURCE_TARGET ${target})
  set(VIREO_RESOURCE_DESCRIPTION "${ARGV1}")
  if(VIREO_RESOURCE_DESCRIPTION STREQUAL "")
    set(VIREO_RESOURCE_DESCRIPTION "${VIREO_PRODUCT_NAME}")
  endif()
  set(manifest ${CMAKE_SOURCE_DIR}/win/res/program.manifest)
  set(VIREO_RESOURCE_MANIFEST "")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(VIREO_RESOURCE_FILE_TYPE VFT_APP)
    if(MSVC)
      # The linker embeds manifest files given as sources.
      target_sources(${target} PRIVATE ${manifest})
    else()
      set(VIREO_RESOURCE_MANIFEST
          "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${manifest}\"")
    endif()
  else()
    set(VIREO_RESOURCE_FILE_TYPE VFT_DLL)
  endif()

  # The file names come from the target (generator expressions), the rest from here.
  set(template ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc.in)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
  configure_file(${CMAKE_SOURCE_DIR}/win/res/program_resources.rc.in ${template} @ONLY)
  file(GENERATE OUTPUT ${rc} INPUT ${template})
  set_source_files_properties(${rc} PROPERTIES GENERATED TRUE)
  target_sources(${target} PRIVATE ${rc})
  # The resource compiler does not report the manifest as a dependency of its script.
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${manifest})
endfunction()
