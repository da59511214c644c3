#include "XFileValueCursor.h"

#include "XFileError.h"

void XFileValueCursor::Require(std::uint64_t integers, std::uint64_t floats) const {
    if (integers > m_object.integers.size() - m_integer)
        Fail("holds fewer integers than its counts promise");
    if (floats > m_object.floats.size() - m_float)
        Fail("holds fewer floats than its counts promise");
}

void XFileValueCursor::Fail(const std::string& what) const {
    std::string subject = m_object.type;
    if (!m_object.name.empty())
        subject += " '" + m_object.name + "'";
    throw XFileError(m_object.where.Describe() + ": " + subject + " " + what);
}
