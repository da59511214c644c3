// The process-wide mesh cache: one D3DZCXFILE per file name, exactly as callers spell it, loaded on
// first request and shared by everyone who asks for that name.
#pragma once

#include "D3DZCXFILE.h"

#include <map>
#include <memory>
#include <string>

class D3DZDMXFILE {
public:
    static D3DZDMXFILE& GetInstance();
    ~D3DZDMXFILE();

    // The cached mesh, or a new one loaded now. A file that does not load gives, and keeps, an empty
    // mesh that draws nothing.
    D3DZCXFILE* Load(std::string fileName);
    // The cached mesh or null; never loads.
    D3DZCXFILE* GetXFile(std::string fileName);
    // Destroys the mesh of that name; FALSE when there is none. Holders of the pointer must be gone.
    BOOL ReleaseXFile(std::string fileName);
    void AllClear();

private:
    D3DZDMXFILE() = default;

    std::map<std::string, std::unique_ptr<D3DZCXFILE>> m_files;
};
