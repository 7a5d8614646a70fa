# Every program carries the same application manifest (win/res/program.manifest): the common
# controls of version 6, DPI-unaware (Windows scales each window whole), run as the invoker.
#
#   vireo_program_manifest(hid)
function(vireo_program_manifest target)
  if(MSVC)
    # The linker embeds manifest files given as sources.
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/win/res/program.manifest)
  else()
    set(rc ${CMAKE_SOURCE_DIR}/win/res/program_manifest.rc)
    target_sources(${target} PRIVATE ${rc})
    # The resource compiler does not report the manifest as a dependency of its script.
    set_property(SOURCE ${rc} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} APPEND PROPERTY OBJECT_DEPENDS
                 ${CMAKE_SOURCE_DIR}/win/res/program.manifest)
  endif()
endfunction()
