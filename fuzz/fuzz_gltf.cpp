// Feeds arbitrary bytes to the glTF reader as a .gltf or a .glb (the first bytes decide). A file it
// accepts must make a consistent model and mesh; anything else must fail cleanly, without crashing,
// hanging or reading outside its buffers. External files are looked for in an empty folder.
#include "GltfModelReader.h"
#include "ModelInvariants.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ModelData model;
    std::string error;
    if (GltfModelReader::ReadMemory(data, size, "/nonexistent/", model, error))
        CheckModelAndMesh(model);
    else
        Require(!error.empty());
    return 0;
}
