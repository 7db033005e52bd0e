# Compiles files into a library as byte arrays:
#   quenbo_embed(target NAMESPACE ns FILES a.png b.jpg)
# gives, in the generated header "<target>.h", one
#   std::span<const unsigned char> ns::<file stem with non-identifier characters as '_'>()
# per file.
set(QUENBO_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_file.cmake)

function(quenbo_embed target)
  cmake_parse_arguments(E "" "NAMESPACE" "FILES" ${ARGN})
  set(gen_dir ${CMAKE_CURRENT_BINARY_DIR}/embedded)
  set(header ${gen_dir}/${target}.h)
  set(decls "")
  set(sources "")
  foreach(file ${E_FILES})
    get_filename_component(abs ${file} ABSOLUTE)
    get_filename_component(name ${file} NAME)
    string(MAKE_C_IDENTIFIER ${name} ident)
    set(out ${gen_dir}/${ident}.cpp)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DIN=${abs} -DOUT=${out} -DIDENT=${ident} -DNS=${E_NAMESPACE}
              -P ${QUENBO_EMBED_SCRIPT}
      DEPENDS ${abs} ${QUENBO_EMBED_SCRIPT} VERBATIM)
    list(APPEND sources ${out})
    string(APPEND decls "std::span<const unsigned char> ${ident}();\n")
  endforeach()
  file(WRITE ${header}.tmp "#pragma once\n#include <span>\nnamespace ${E_NAMESPACE} {\n${decls}}\n")
  configure_file(${header}.tmp ${header} COPYONLY)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${gen_dir})
endfunction()
