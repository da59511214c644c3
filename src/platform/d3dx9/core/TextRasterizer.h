// A system font from Qt for the text object: resolves the asked-for face (a Japanese sans-serif face
// stands in for faces this machine does not have), lays strings out in lines within a rectangle by
// the DT_ alignment flags, and rasterises the part of a layout that shows into a coverage bitmap.
#pragma once

#include "Win32Types.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct TextLine {
    QString text;
    std::int64_t x = 0; // left of the line, from the rectangle's left
    std::int64_t y = 0; // top of the line's cell, from the rectangle's top
    std::int64_t width = 0;
    // The pen starts this far in, so that a first glyph that overhangs to the left (a bold "A", a
    // "j") still starts at the line's left rather than before it.
    int indent = 0;
};

struct TextLayout {
    std::vector<TextLine> lines;
    std::int64_t width = 0;  // the widest line
    std::int64_t height = 0; // lines times the cell height
    // Where ink can reach, from the rectangle's top-left: glyphs may overhang their cells.
    std::int64_t inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;
};

struct TextCoverage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha; // one byte per pixel, top row first
};

class TextRasterizer {
public:
    struct Face {
        INT height = 0; // cell height in pixels; 0 takes a default, negative counts as positive
        UINT weight = 0;
        bool italic = false;
        std::string family; // UTF-8
    };

    static constexpr int kDefaultCellHeight = 16;
    static constexpr int kMaxCellHeight = 2048;

    // Null for a height beyond kMaxCellHeight, or when this process cannot have fonts (an application
    // object exists that is not a GUI application).
    static std::unique_ptr<TextRasterizer> Create(const Face& face);

    std::string Family() const;
    int PixelSize() const;
    bool Bold() const;
    // Lines are laid out a cell height apart; the baseline sits Baseline() below a line's top.
    int CellHeight() const { return m_cellHeight; }
    int Baseline() const { return m_baseline; }

    // Lines break at "\n" ("\r\n" too) unless DT_SINGLELINE; a final line break ends the last line
    // without starting another.
    TextLayout Layout(std::string_view utf8, DWORD format, std::int64_t rectWidth,
                      std::int64_t rectHeight) const;
    // The coverage of the window (left, top, width, height) of the layout, in the same coordinates.
    TextCoverage Rasterize(const TextLayout& layout, std::int64_t left, std::int64_t top, int width,
                           int height) const;

private:
    TextRasterizer(const QFont& font, int cellHeight);

    QFont m_font;
    int m_cellHeight = 0;
    int m_baseline = 0;
    int m_overhang = 0;
};
