// Reference counting as Direct3D's interfaces have it: objects start with one reference, AddRef and
// Release count, and the last Release deletes.
#pragma once

#include "Win32Types.h"

using ULONG = unsigned long;

class IUnknown {
public:
    virtual ULONG AddRef() { return ++m_references; }
    virtual ULONG Release() {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    IUnknown() = default;
    virtual ~IUnknown() = default;
    IUnknown(const IUnknown&) = delete;
    IUnknown& operator=(const IUnknown&) = delete;

private:
    ULONG m_references = 1;
};
