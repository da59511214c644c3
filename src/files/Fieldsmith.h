// The editor's file functions: map files (model path and world matrix per placed object), matrix,
// matrix-list and view files in text and binary form. Text numbers are "%g" with 6 significant digits
// and lines end in CR LF; binary records are 16 little-endian floats. Saving replaces a file only when
// everything was written.
#pragma once

#include "d3dx9math.h"

#include <string>
#include <vector>

class Fieldsmith {
public:
    struct _TAG_MAPDATA {
        _TAG_MAPDATA();
        _TAG_MAPDATA(std::string _name, const D3DXMATRIX& _world) : name(std::move(_name)), world(_world) {}

        std::string name;
        D3DXMATRIX world;
    };

    static bool SaveMapFile(const std::string& _filename, const std::vector<_TAG_MAPDATA>& _MapList);
    // Appends one record per line; false, with the list unchanged, when the file cannot be read.
    static bool LoadMapFile(const std::string& _filename, std::vector<_TAG_MAPDATA>& _MapList);

    static bool SaveMatrixFile(const std::string& _filename, const D3DXMATRIX* _world, bool isBinary);
    // Elements the file does not supply keep the values passed in.
    static bool LoadMatrixFile(const std::string& _filename, D3DXMATRIX* _world);

    static bool SaveMatrixListFile(const std::string& _filename, const std::vector<D3DXMATRIX>& _MatList,
                                   bool isBinary);
    static bool LoadMatrixListFile(const std::string& _filename, std::vector<D3DXMATRIX>& _MatList);

    // True when the file holds a byte from 0 to 8; text written by the editor never does.
    static bool isBinaryFile(const std::string& _filename);

    // The file contents the savers write, for callers that want them without a file.
    static std::string MapFileText(const std::vector<_TAG_MAPDATA>& _MapList);
    static std::string MatrixListText(const std::vector<D3DXMATRIX>& _MatList);
    static std::string MatrixBinary(const std::vector<D3DXMATRIX>& _MatList);
    // Parses map file contents as LoadMapFile does.
    static void ParseMapText(std::string_view text, std::vector<_TAG_MAPDATA>& _MapList);
};
