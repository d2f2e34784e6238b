# Window resources: each module's declarations are compiled by rescomp at
# build time into a C++ source holding the "DABDUMP" bytes, which is compiled
# into the target itself (not a library, so that the linker keeps the
# object whose start-up registers the resource).
#
#   vrt_window_resources(TARGET decl1.wnd decl2.wnd ...)
function(vrt_window_resources target)
  foreach(decl ${ARGN})
    get_filename_component(abs ${decl} ABSOLUTE)
    get_filename_component(stem ${decl} NAME_WE)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources/${stem}_rsc.cpp)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources
      COMMAND rescomp ${abs} --cpp ${out} --image ${target}
      DEPENDS rescomp ${abs}
      COMMENT "Compiling window declarations ${stem}"
      VERBATIM)
    target_sources(${target} PRIVATE ${out})
  endforeach()
endfunction()
