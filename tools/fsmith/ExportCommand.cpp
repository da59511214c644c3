#include "ExportCommand.h"

#include "Fieldsmith.h"
#include "GltfWriter.h"
#include "ModelCommands.h"
#include "ModelFile.h"

#include <filesystem>
#include <map>
#include <ostream>

namespace {

// The model's index in the scene, read on first use; false when it cannot be read.
bool AddModel(GltfExportScene& scene, std::map<std::string, std::size_t>& known, const std::string& name,
              std::size_t& index, std::ostream& err) {
    const auto found = known.find(name);
    if (found != known.end()) {
        index = found->second;
        return true;
    }
    GltfExportModel model;
    std::string error;
    if (!ModelFile::Read(name, model.data, error)) {
        err << "fsmith: " << error << '\n';
        return false;
    }
    model.name = std::filesystem::path(name).stem().string();
    model.folder = std::filesystem::path(name).parent_path().string();
    index = known[name] = scene.models.size();
    scene.models.push_back(std::move(model));
    return true;
}

bool BuildScene(const std::string& input, GltfExportScene& scene, std::ostream& err) {
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    if (!ModelCommands::IsMapFile(input)) {
        records.emplace_back(); // the identity matrix
        records.back().name = input;
    } else if (!Fieldsmith::LoadMapFile(input, records)) {
        err << "fsmith: cannot read '" << input << "'\n";
        return false;
    }
    std::map<std::string, std::size_t> known;
    for (const Fieldsmith::_TAG_MAPDATA& record : records) {
        std::size_t model = 0;
        if (!AddModel(scene, known, record.name, model, err))
            return false;
        scene.nodes.push_back({record.name, record.world, model});
    }
    return true;
}

} // namespace

bool ExportCommand::ParseArgs(const std::vector<std::string>& args, std::string& input, std::string& output,
                              std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (input.empty() && !args[i].empty() && args[i][0] != '-')
            input = args[i];
        else {
            error = "export takes IN -o OUT.glb|OUT.gltf, not '" + args[i] + "'";
            return false;
        }
    }
    if (input.empty() || output.empty())
        error = "export takes IN -o OUT.glb|OUT.gltf";
    return error.empty();
}

int ExportCommand::Run(const std::string& input, const std::string& output, std::ostream& out,
                       std::ostream& err) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(input, ignored)) {
        err << "fsmith: cannot read '" << input << "': no such file\n";
        return 1;
    }
    GltfExportScene scene;
    if (!BuildScene(input, scene, err))
        return 1;
    std::vector<std::string> warnings;
    std::string error;
    const bool written = GltfWriter::Write(scene, output, warnings, error);
    for (const std::string& warning : warnings)
        err << "fsmith: " << warning << '\n';
    if (!written) {
        err << "fsmith: " << error << '\n';
        return 1;
    }
    out << "wrote " << output << " (" << scene.nodes.size()
        << (scene.nodes.size() == 1 ? " node, " : " nodes, ") << scene.models.size()
        << (scene.models.size() == 1 ? " mesh)\n" : " meshes)\n");
    return 0;
}
