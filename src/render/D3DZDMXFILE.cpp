#include "D3DZDMXFILE.h"

#include "DataFolder.h"

D3DZDMXFILE& D3DZDMXFILE::GetInstance() {
    static D3DZDMXFILE instance;
    return instance;
}

D3DZDMXFILE::~D3DZDMXFILE() {
    AllClear();
}

D3DZCXFILE* D3DZDMXFILE::Load(std::string fileName) {
    auto& slot = m_files[fileName];
    if (!slot) {
        slot = std::make_unique<D3DZCXFILE>();
        // Cached under the name as given, which is what maps save.
        slot->LoadXFile(DataFolder::Locate(fileName).c_str());
    }
    return slot.get();
}

D3DZCXFILE* D3DZDMXFILE::GetXFile(std::string fileName) {
    const auto found = m_files.find(fileName);
    return found == m_files.end() ? nullptr : found->second.get();
}

BOOL D3DZDMXFILE::ReleaseXFile(std::string fileName) {
    const auto found = m_files.find(fileName);
    if (found == m_files.end())
        return FALSE;
    m_files.erase(found);
    return TRUE;
}

void D3DZDMXFILE::AllClear() {
    m_files.clear();
}
