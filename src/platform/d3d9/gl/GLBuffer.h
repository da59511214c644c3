// A GL buffer object with a copy of its contents in memory. Direct3D's locks hand out the copy; the
// GL object is filled from it on the first bind after a lock that may have written to it, so data
// drawn many times a frame crosses to the renderer once. Needs the device's context current to bind
// or delete.
#pragma once

#include <cstddef>
#include <vector>

class GLBuffer {
public:
    // Zero-filled; dynamic buffers get a usage hint for data that changes often.
    GLBuffer(std::size_t bytes, bool dynamic);
    ~GLBuffer();
    GLBuffer(const GLBuffer&) = delete;
    GLBuffer& operator=(const GLBuffer&) = delete;

    unsigned char* Data() { return m_data.data(); }
    const unsigned char* Data() const { return m_data.data(); }
    std::size_t Size() const { return m_data.size(); }

    // The bytes from offset on (size 0: to the end), null when the range does not fit. The copy may
    // change until Unlock: while locked for writing every bind fills the GL object again.
    unsigned char* Lock(std::size_t offset, std::size_t size, bool write);
    void Unlock();
    // Locked for writing now: anything derived from the copy may be out of date at any moment.
    bool Writing() const { return m_writing; }
    // A change counter for those that derive something from the copy; moves when a write lock opens
    // and when it closes.
    unsigned Version() const { return m_version; }
    // Binds the GL object to the target, filling it first when the copy changed; true when it did.
    bool Bind(unsigned target);
    // Lets the GL object go without deleting it, when its context cannot be made current.
    void Abandon() { m_name = 0; }

private:
    std::vector<unsigned char> m_data;
    bool m_dynamic;
    unsigned m_name = 0;
    bool m_stale = true;
    int m_locks = 0;
    bool m_writing = false;
    unsigned m_version = 0;
};
