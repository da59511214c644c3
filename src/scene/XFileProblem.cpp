#include "XFileProblem.h"

#include "CXLIST.h"
#include "MessageBox.h"
#include "XFileModel.h"
#include "d3dx9mesh.h"

#include <cstring>
#include <fstream>

bool XFileProblem::HasXSignature(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char head[4] = {};
    return file.read(head, sizeof head) && std::memcmp(head, "xof ", sizeof head) == 0;
}

std::string XFileProblem::ReaderMessage(const std::string& path) {
    XFileModel model;
    std::string error;
    if (!XFileModel::Load(path, model, error))
        return error;
    // The file reads, but no mesh could be made of it.
    const char* meshError = D3DXGetLastXFileError();
    return path + ": " + (meshError != nullptr && meshError[0] != '\0' ? meshError : "no mesh in the file");
}

void XFileProblem::Report(const std::string& path) {
    const std::string text = std::string(CXLIST::kLoadErrorText) + "\n" + ReaderMessage(path);
    MessageBoxA(nullptr, text.c_str(), CXLIST::kCaption, MB_OK);
}
