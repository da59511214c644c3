# fsmith_embed_glsl(target stage...): each GLSL stage file (gl/FixedFunction.vert) becomes a generated
# header (FixedFunction.vert.h) on the target's private include path, defining the stage's text as a
# constant named after the file (kFixedFunctionVert).
set(FSMITH_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedText.cmake)

function(fsmith_embed_glsl target)
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/glsl)
    foreach(stage ${ARGN})
        get_filename_component(stem ${stage} NAME_WE)
        get_filename_component(kind ${stage} LAST_EXT)
        string(SUBSTRING ${kind} 1 1 first)
        string(SUBSTRING ${kind} 2 -1 rest)
        string(TOUPPER ${first} first)
        set(input ${CMAKE_CURRENT_SOURCE_DIR}/${stage})
        set(output ${generated}/${stem}${kind}.h)
        add_custom_command(OUTPUT ${output}
                           COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DNAME=k${stem}${first}${rest}
                                   -P ${FSMITH_EMBED_SCRIPT}
                           DEPENDS ${input} ${FSMITH_EMBED_SCRIPT}
                           COMMENT "Embedding ${stage}" VERBATIM)
        target_sources(${target} PRIVATE ${output})
    endforeach()
    target_include_directories(${target} PRIVATE ${generated})
endfunction()
