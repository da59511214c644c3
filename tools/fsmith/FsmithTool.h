// The file tool's commands: inspect and convert map, matrix, matrix-list and library record files.
// Results go to the output stream, errors to the error stream; Run returns the exit status (0 done,
// 1 the files could not be read or written, 2 the command line is wrong).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class FsmithTool {
public:
    FsmithTool(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    int Run(const std::vector<std::string>& args);

    static const char* Usage();

private:
    int Map(const std::vector<std::string>& args);
    int Mat(const std::vector<std::string>& args);
    int MatList(const std::vector<std::string>& args);
    int Transform(const std::vector<std::string>& args);
    int Transforms(const std::vector<std::string>& args);
    int CameraPose(const std::vector<std::string>& args);
    int Camera(const std::vector<std::string>& args);
    int CameraMove(const std::vector<std::string>& args);
    int MapList(const std::vector<std::string>& args);
    int Anim(const std::vector<std::string>& args);

    int UsageError(const std::string& message);
    int CannotRead(const std::string& path);
    int CannotWrite(const std::string& path);

    std::ostream& m_out;
    std::ostream& m_err;
};
