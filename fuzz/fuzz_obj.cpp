// Feeds arbitrary bytes to the OBJ reader: the text up to the first NUL byte is the .obj, the rest the
// .mtl every mtllib line gets. A file it accepts must make a consistent model and mesh; anything else
// must fail cleanly.
#include "ModelInvariants.h"
#include "ObjModelReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = bytes.find('\0');
    const std::string obj = bytes.substr(0, split);
    const std::string mtl = split == std::string::npos ? std::string() : bytes.substr(split + 1);
    ModelData model;
    std::string error;
    if (ObjModelReader::ReadText(obj, mtl, model, error))
        CheckModelAndMesh(model);
    else
        Require(!error.empty());
    return 0;
}
