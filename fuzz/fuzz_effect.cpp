// Effect files: the container parser on any text. A file it accepts must describe what it promises:
// every technique has a pass, defaults fit their parameters, stages know where they start.
#include "EffectFile.h"
#include "FuzzCheck.h"

#include <cstdint>
#include <string>

namespace {

void CheckParsed(const EffectFile& file, std::size_t lines) {
    for (const EffectParameterDecl& parameter : file.Parameters()) {
        FuzzCheck(!parameter.name.empty(), "a parameter has a name");
        FuzzCheck(parameter.elements >= 1, "a parameter has at least one element");
        const std::size_t holds = std::size_t{EffectTypeComponents(parameter.type)} * parameter.elements;
        FuzzCheck(parameter.numbers.size() <= holds, "defaults fit the parameter");
    }
    FuzzCheck(!file.Techniques().empty(), "an accepted effect has a technique");
    for (const EffectTechniqueDecl& technique : file.Techniques()) {
        FuzzCheck(!technique.passes.empty(), "a technique has a pass");
        for (const EffectPassDecl& pass : technique.passes)
            for (const EffectStage* stage : {&pass.vertex, &pass.fragment}) {
                FuzzCheck(!stage->source.empty(), "a pass has both stages");
                FuzzCheck(stage->firstLine >= 0 && static_cast<std::size_t>(stage->firstLine) <= lines + 1,
                          "a stage starts on a line of the file");
            }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    EffectFile file;
    std::string error;
    if (EffectFile::Parse(text, "fuzz.fx", file, error)) {
        std::size_t lines = 1;
        for (char c : text)
            lines += c == '\n';
        CheckParsed(file, lines);
    } else {
        FuzzCheck(error.rfind("fuzz.fx(", 0) == 0, "a refused effect names the file and line");
    }
    return 0;
}
