#include "GLBuffer.h"

#include <epoxy/gl.h>

GLBuffer::GLBuffer(std::size_t bytes, bool dynamic) : m_data(bytes), m_dynamic(dynamic) {}

GLBuffer::~GLBuffer() {
    if (m_name != 0)
        glDeleteBuffers(1, &m_name);
}

unsigned char* GLBuffer::Lock(std::size_t offset, std::size_t size, bool write) {
    if (offset > m_data.size() || size > m_data.size() - offset)
        return nullptr;
    ++m_locks;
    if (write) {
        m_writing = m_stale = true;
        ++m_version;
    }
    return m_data.data() + offset;
}

void GLBuffer::Unlock() {
    if (m_locks == 0)
        return;
    if (--m_locks == 0 && m_writing) {
        m_writing = false;
        ++m_version;
    }
}

bool GLBuffer::Bind(unsigned target) {
    if (m_name == 0)
        glGenBuffers(1, &m_name);
    glBindBuffer(target, m_name);
    if (!m_stale)
        return false;
    glBufferData(target, static_cast<GLsizeiptr>(m_data.size()), m_data.data(),
                 m_dynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    // Data written through a lock that is still open may change again before the next bind.
    m_stale = m_writing;
    return true;
}
