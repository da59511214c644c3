#include "FsmithTool.h"

#include "D3DZBinaryRecords.h"
#include "D3DZMapFileLoad.h"
#include "D3DZVectorRecordFiles.h"
#include "DeviceCommands.h"
#include "ExportCommand.h"
#include "Fieldsmith.h"
#include "ModelCommands.h"
#include "NumberText.h"
#include "SoundCommands.h"

#include <cerrno>
#include <cstring>
#include <ostream>

namespace {

using Args = std::vector<std::string>;

// Nine significant digits show every float exactly.
std::string Number(float value) {
    return NumberText::FormatG(value, 9);
}

std::string Floats(const float* values, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += ' ';
        text += Number(values[i]);
    }
    return text;
}

std::string Vector(const D3DXVECTOR3& v) {
    return Floats(&v.x, 3);
}
std::string Matrix(const D3DXMATRIX& m) {
    return Floats(&m._11, 16);
}

std::string TransformLine(const D3DZORVFILE& record) {
    return "pos " + Vector(record.vPos) + "\trot " + Vector(record.vRot) + "\tscale " + Vector(record.vScale);
}

std::string CameraLines(const D3DZORVCAMERAFILE& camera) {
    D3DXMATRIX view;
    D3DCameraMakeMatrix(&view, camera);
    return "pos " + Vector(camera.vPos) + "\nrotx " + Number(camera.fRotX) + "\nroty " +
           Number(camera.fRotY) + "\nview " + Matrix(view) + "\n";
}

enum class Form { Detect, Text, Binary, Invalid };

// Reads an optional --text or --binary after the positional arguments.
Form FormOption(const Args& args, std::size_t positional) {
    if (args.size() == positional)
        return Form::Detect;
    if (args.size() != positional + 1)
        return Form::Invalid;
    if (args[positional] == "--text")
        return Form::Text;
    if (args[positional] == "--binary")
        return Form::Binary;
    return Form::Invalid;
}

bool IsBinary(Form form, const std::string& path) {
    return form == Form::Binary || (form == Form::Detect && Fieldsmith::isBinaryFile(path));
}

} // namespace

const char* FsmithTool::Usage() {
    return "usage: fsmith COMMAND ...\n"
           "\n"
           "Editor files (text or binary is told from the contents when reading):\n"
           "  map show FILE                      records as read: name, tab, the 16 matrix elements\n"
           "  map save IN OUT                    read a map and write it again (normalises it)\n"
           "  mat show FILE                      a matrix or view file, read from the identity\n"
           "  mat convert IN OUT --text|--binary\n"
           "  matlist show FILE                  one matrix per line\n"
           "  matlist convert IN OUT --text|--binary\n"
           "\n"
           "Library record files ([--text|--binary] forces the form; otherwise it is detected):\n"
           "  transform show FILE [--text|--binary]    position, rotation (degrees) and scale\n"
           "  transforms show FILE [--text|--binary]   a list of transforms, one per line\n"
           "  pose show FILE [--text|--binary]         camera pose p(x,y,z)r(x,y,z) and its view matrix\n"
           "  camera show FILE                         20-byte camera record and its view matrix\n"
           "  cammove show FILE                        40-byte camera move: start and end cameras\n"
           "  maplist show FILE                        name, position, rotation, scale per record\n"
           "  anim show FILE                           128-byte animation block as 32 floats\n"
           "\n"
           "Graphics (headless, on the GPU or Mesa's software renderer):\n"
           "  device                             the renderer, GL version and formats the device creates\n"
           "  draw-test OUT.png                  draw a fixed test picture through the device\n"
           "  xinfo FILE                         an X file's format, mesh, subsets, materials and textures,\n"
           "                                     frames, bones and animations; a glTF or OBJ model's mesh,\n"
           "                                     materials and what a static mesh leaves out\n"
           "  render FILE -o OUT.png [--size WxH] [--yaw D] [--pitch D] [--distance D]\n"
           "         [--mode fixed|base|toon|spemap|shadow] [--shadow-box W,H,NEAR,FAR]\n"
           "         [--anim NAME|INDEX] [--time SECONDS]\n"
           "                                     draw an X file at the origin, or every record of a map\n"
           "                                     (models found from the working directory, \"Data/...\"\n"
           "                                     ones also in the data folder), in the\n"
           "                                     editor's start-up light; the camera orbits the scene\n"
           "                                     (yaw 30, pitch 25, distance to fit; default 640x480);\n"
           "                                     a mode other than fixed draws with the editor's effects\n"
           "                                     from Data/Shader (working directory, then\n"
           "                                     ../share/fieldsmith beside fsmith, or above fsmith);\n"
           "                                     the shadow map's box defaults to the picture's size in\n"
           "                                     pixels, near 0.1, far 2000, as in the editor;\n"
           "                                     --anim and --time pose a skinned X file at that time of\n"
           "                                     that animation set (by name or number from 0; set 0,\n"
           "                                     time 0 when one is left out), fixed mode only\n"
           "  export IN -o OUT.glb|OUT.gltf       a map (one node per record, each model's mesh written "
           "once)\n"
           "                                     or one X, glTF or OBJ model as glTF 2.0; a .glb carries "
           "its\n"
           "                                     textures, a .gltf gets a .bin and image files beside it\n"
           "\n"
           "Sound:\n"
           "  play FILE.wav                      play a PCM wave file to its end on the default output\n"
           "\n"
           "Numbers are shown with 9 significant digits, which is every bit of a float.\n";
}

int FsmithTool::Run(const Args& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        (args.empty() ? m_err : m_out) << Usage();
        return args.empty() ? 2 : 0;
    }
    const Args rest(args.begin() + 1, args.end());
    const std::string& command = args[0];
    if (command == "map")
        return Map(rest);
    if (command == "mat")
        return Mat(rest);
    if (command == "matlist")
        return MatList(rest);
    if (command == "transform")
        return Transform(rest);
    if (command == "transforms")
        return Transforms(rest);
    if (command == "pose")
        return CameraPose(rest);
    if (command == "camera")
        return Camera(rest);
    if (command == "cammove")
        return CameraMove(rest);
    if (command == "maplist")
        return MapList(rest);
    if (command == "anim")
        return Anim(rest);
    if (command == "device" && rest.empty())
        return DeviceCommands::Describe(m_out, m_err);
    if (command == "draw-test" && rest.size() == 1)
        return DeviceCommands::DrawTest(rest[0], m_out, m_err);
    if (command == "play")
        return rest.size() == 1 ? SoundCommands::Play(rest[0], m_out, m_err)
                                : UsageError("'play' takes one wave file");
    if (command == "xinfo")
        return rest.size() == 1 ? ModelCommands::XInfo(rest[0], m_out, m_err)
                                : UsageError("'xinfo' takes one model file");
    if (command == "export") {
        std::string input, output, error;
        return ExportCommand::ParseArgs(rest, input, output, error)
                   ? ExportCommand::Run(input, output, m_out, m_err)
                   : UsageError(error);
    }
    if (command == "render") {
        ModelCommands::RenderOptions options;
        std::string error;
        return ModelCommands::ParseRenderOptions(rest, options, error)
                   ? ModelCommands::Render(options, m_out, m_err)
                   : UsageError(error);
    }
    if (command == "device" || command == "draw-test")
        return UsageError("'device' takes nothing, 'draw-test' takes OUT.png");
    return UsageError("unknown command '" + command + "'");
}

int FsmithTool::UsageError(const std::string& message) {
    m_err << "fsmith: " << message << "\n" << Usage();
    return 2;
}

int FsmithTool::CannotRead(const std::string& path) {
    m_err << "fsmith: cannot read '" << path << "'";
    if (errno != 0)
        m_err << ": " << std::strerror(errno);
    m_err << "\n";
    return 1;
}

int FsmithTool::CannotWrite(const std::string& path) {
    m_err << "fsmith: cannot write '" << path << "'";
    if (errno != 0)
        m_err << ": " << std::strerror(errno);
    m_err << "; it was left as it was\n";
    return 1;
}

int FsmithTool::Map(const Args& args) {
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    if (args.size() == 2 && args[0] == "show") {
        errno = 0;
        if (!Fieldsmith::LoadMapFile(args[1], records))
            return CannotRead(args[1]);
        for (const auto& record : records)
            m_out << record.name << '\t' << Matrix(record.world) << '\n';
        return 0;
    }
    if (args.size() == 3 && args[0] == "save") {
        errno = 0;
        if (!Fieldsmith::LoadMapFile(args[1], records))
            return CannotRead(args[1]);
        errno = 0;
        return Fieldsmith::SaveMapFile(args[2], records) ? 0 : CannotWrite(args[2]);
    }
    return UsageError("map takes 'show FILE' or 'save IN OUT'");
}

int FsmithTool::Mat(const Args& args) {
    D3DXMATRIX matrix;
    D3DXMatrixIdentity(&matrix);
    if (args.size() == 2 && args[0] == "show") {
        errno = 0;
        if (!Fieldsmith::LoadMatrixFile(args[1], &matrix))
            return CannotRead(args[1]);
        m_out << Matrix(matrix) << '\n';
        return 0;
    }
    const Form form = FormOption(args, 3);
    if (args.size() == 4 && args[0] == "convert" && form != Form::Invalid && form != Form::Detect) {
        errno = 0;
        if (!Fieldsmith::LoadMatrixFile(args[1], &matrix))
            return CannotRead(args[1]);
        errno = 0;
        return Fieldsmith::SaveMatrixFile(args[2], &matrix, form == Form::Binary) ? 0 : CannotWrite(args[2]);
    }
    return UsageError("mat takes 'show FILE' or 'convert IN OUT --text|--binary'");
}

int FsmithTool::MatList(const Args& args) {
    std::vector<D3DXMATRIX> list;
    if (args.size() == 2 && args[0] == "show") {
        errno = 0;
        if (!Fieldsmith::LoadMatrixListFile(args[1], list))
            return CannotRead(args[1]);
        for (const auto& matrix : list)
            m_out << Matrix(matrix) << '\n';
        return 0;
    }
    const Form form = FormOption(args, 3);
    if (args.size() == 4 && args[0] == "convert" && form != Form::Invalid && form != Form::Detect) {
        errno = 0;
        if (!Fieldsmith::LoadMatrixListFile(args[1], list))
            return CannotRead(args[1]);
        errno = 0;
        return Fieldsmith::SaveMatrixListFile(args[2], list, form == Form::Binary) ? 0 : CannotWrite(args[2]);
    }
    return UsageError("matlist takes 'show FILE' or 'convert IN OUT --text|--binary'");
}

int FsmithTool::Transform(const Args& args) {
    const Form form = FormOption(args, 2);
    if (args.size() < 2 || args[0] != "show" || form == Form::Invalid)
        return UsageError("transform takes 'show FILE [--text|--binary]'");
    D3DZORVFILE record;
    record.vScale = D3DXVECTOR3(1, 1, 1);
    errno = 0;
    const bool read = IsBinary(form, args[1])
                          ? D3DZorvFileLoad(args[1].c_str(), &record)
                          : D3DZMatrixFileLoad(args[1].c_str(), &record.vPos, &record.vRot, &record.vScale);
    if (!read)
        return CannotRead(args[1]);
    m_out << TransformLine(record) << '\n';
    return 0;
}

int FsmithTool::Transforms(const Args& args) {
    const Form form = FormOption(args, 2);
    if (args.size() < 2 || args[0] != "show" || form == Form::Invalid)
        return UsageError("transforms takes 'show FILE [--text|--binary]'");
    std::vector<D3DZORVFILE> list;
    errno = 0;
    const bool read = IsBinary(form, args[1]) ? D3DZBinaryMatrixListLoad(args[1].c_str(), list)
                                              : D3DZMatrixListLoad(args[1].c_str(), list);
    if (!read)
        return CannotRead(args[1]);
    for (const auto& record : list)
        m_out << TransformLine(record) << '\n';
    return 0;
}

int FsmithTool::CameraPose(const Args& args) {
    const Form form = FormOption(args, 2);
    if (args.size() < 2 || args[0] != "show" || form == Form::Invalid)
        return UsageError("pose takes 'show FILE [--text|--binary]'");
    D3DZCAMERADATA pose;
    errno = 0;
    const bool read = IsBinary(form, args[1]) ? D3DZBinaryViewFileLoad(args[1].c_str(), &pose)
                                              : D3DZViewFileLoad(args[1].c_str(), &pose);
    if (!read)
        return CannotRead(args[1]);
    D3DXMATRIX view;
    D3DZMakeCameraMatrix(&view, &pose);
    m_out << "pos " << Vector(pose.vPos) << "\nrot " << Vector(pose.vRot) << "\nview " << Matrix(view)
          << '\n';
    return 0;
}

int FsmithTool::Camera(const Args& args) {
    if (args.size() != 2 || args[0] != "show")
        return UsageError("camera takes 'show FILE'");
    D3DZORVCAMERAFILE camera;
    errno = 0;
    if (!D3DCameraLoadFile(args[1].c_str(), &camera))
        return CannotRead(args[1]);
    m_out << CameraLines(camera);
    return 0;
}

int FsmithTool::CameraMove(const Args& args) {
    if (args.size() != 2 || args[0] != "show")
        return UsageError("cammove takes 'show FILE'");
    D3DZORVCAMANIME move;
    errno = 0;
    if (!D3DCameraAnimLoad(args[1].c_str(), &move))
        return CannotRead(args[1]);
    m_out << "[start]\n" << CameraLines(move.Start) << "[end]\n" << CameraLines(move.End);
    return 0;
}

int FsmithTool::MapList(const Args& args) {
    if (args.size() != 2 || args[0] != "show")
        return UsageError("maplist takes 'show FILE'");
    std::vector<D3DZMAPDATA> list;
    errno = 0;
    if (!D3DZMapFileLoad(args[1].c_str(), list))
        return CannotRead(args[1]);
    for (const auto& record : list)
        m_out << record.name << "\tpos " << Vector(record.vPos) << "\trot " << Vector(record.vRot)
              << "\tscale " << Vector(record.vScale) << '\n';
    return 0;
}

int FsmithTool::Anim(const Args& args) {
    if (args.size() != 2 || args[0] != "show")
        return UsageError("anim takes 'show FILE'");
    D3DZXFILEANIMATION block;
    errno = 0;
    if (!D3DZorvLoadXAnimation(args[1].c_str(), &block))
        return CannotRead(args[1]);
    float values[32];
    std::memcpy(values, block.bytes, sizeof values);
    for (int row = 0; row < 8; ++row)
        m_out << Floats(values + 4 * row, 4) << '\n';
    return 0;
}
