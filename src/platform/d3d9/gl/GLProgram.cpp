#include "GLProgram.h"

#include <epoxy/gl.h>

namespace {

unsigned CompileStage(GLenum type, const char* source, std::string& log) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok)
        return shader;
    char text[4096] = {};
    glGetShaderInfoLog(shader, sizeof text, nullptr, text);
    log += type == GL_VERTEX_SHADER ? "vertex stage: " : "fragment stage: ";
    log += text;
    glDeleteShader(shader);
    return 0;
}

} // namespace

unsigned GLProgram::Build(const char* vertexSource, const char* fragmentSource, std::string& log) {
    log.clear();
    const unsigned vertex = CompileStage(GL_VERTEX_SHADER, vertexSource, log);
    const unsigned fragment = CompileStage(GL_FRAGMENT_SHADER, fragmentSource, log);
    GLuint program = 0;
    if (vertex && fragment) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint ok = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) {
            char text[4096] = {};
            glGetProgramInfoLog(program, sizeof text, nullptr, text);
            log += "link: ";
            log += text;
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vertex)
        glDeleteShader(vertex);
    if (fragment)
        glDeleteShader(fragment);
    return program;
}
