# Writes OUTPUT, a header that defines NAME as the text of INPUT: GLSL stages are edited as files of
# their own and still need no file at run time. Run by fsmith_embed_glsl at build time.
file(READ "${INPUT}" text)
file(WRITE "${OUTPUT}"
     "// Generated from ${INPUT} at build time; edit that file.\n#pragma once\n\n"
     "inline constexpr char ${NAME}[] = R\"glsl(${text})glsl\";\n")
