# Forms: a form source compiled at build time into the program's window
# template data and the list of routines its handler links name.
#
# project_form(TARGET target SOURCE file.form NAME Name)
#   Runs the form compiler (tools/formc) on the source and adds the generated
#   Name.cpp (the template data) and Name.h to the target; the header's folder
#   becomes one of the target's public include directories. Name.h declares
#   kNameTemplate and kNameTemplateSize and defines the X-macro NAME_ROUTINES(X)
#   (for the name PlayerForm: PLAYER_FORM_ROUTINES). The form is compiled again
#   whenever the source, a file it names or the compiler changes.
#
# The compiler runs on the build host. The native build builds it as the
# target formc; the Windows builds build it in a native build of this same
# tree inside their own build folder (tools/CMakeLists.txt). Fuzz builds have
# no forms.
function(project_form)
  cmake_parse_arguments(F "" "TARGET;SOURCE;NAME" "" ${ARGN})
  if(NOT F_TARGET OR NOT F_SOURCE OR NOT F_NAME)
    message(FATAL_ERROR "project_form needs TARGET, SOURCE and NAME")
  endif()
  get_property(tool GLOBAL PROPERTY PROJECT_FORMC)
  get_property(tool_depends GLOBAL PROPERTY PROJECT_FORMC_DEPENDS)
  if(NOT tool)
    message(FATAL_ERROR "project_form: this build has no form compiler")
  endif()
  get_filename_component(source "${F_SOURCE}" ABSOLUTE)
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/generated")
  set(out "${dir}/${F_NAME}")
  add_custom_command(OUTPUT "${out}.cpp" "${out}.h" "${out}.bin"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${dir}"
    COMMAND ${tool} "${source}" --name ${F_NAME} --cpp "${out}.cpp" --header "${out}.h"
      --bin "${out}.bin" --depfile "${out}.d"
    DEPENDS "${source}" ${tool_depends}
    DEPFILE "${out}.d"
    COMMENT "Compiling the form ${F_SOURCE}"
    VERBATIM)
  target_sources(${F_TARGET} PRIVATE "${out}.cpp" "${out}.h")
  target_include_directories(${F_TARGET} PUBLIC "${dir}")
endfunction()
