#include "HeadlessDevice.h"
#include "TempDir.h"
#include "d3dx9tex.h"

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "StbImageWrite.h"

namespace {

// A 4x2 picture with every channel different and partial alpha, as ARGB.
const std::vector<DWORD> kPicture = {0xFF102030, 0x80405060, 0x00708090, 0xFFA0B0C0,
                                     0x40FF0000, 0xFF00FF00, 0xC00000FF, 0xFFFFFFFF};

std::vector<unsigned char> Rgba(const std::vector<DWORD>& argb) {
    std::vector<unsigned char> out;
    for (DWORD c : argb)
        out.insert(out.end(), {static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 8),
                               static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 24)});
    return out;
}

void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
}

enum class Kind { Png, Bmp, Tga, TgaRle, Jpeg };

std::string Encode(Kind kind, int w, int h, const std::vector<DWORD>& argb) {
    const std::vector<unsigned char> rgba = Rgba(argb);
    std::string out;
    stbi_write_tga_with_rle = kind == Kind::TgaRle;
    switch (kind) {
    case Kind::Png:
        stbi_write_png_to_func(Append, &out, w, h, 4, rgba.data(), w * 4);
        break;
    case Kind::Bmp:
        stbi_write_bmp_to_func(Append, &out, w, h, 4, rgba.data());
        break;
    case Kind::Tga:
    case Kind::TgaRle:
        stbi_write_tga_to_func(Append, &out, w, h, 4, rgba.data());
        break;
    case Kind::Jpeg:
        stbi_write_jpg_to_func(Append, &out, w, h, 4, rgba.data(), 95);
        break;
    }
    return out;
}

void PutDword(std::string& bytes, std::size_t offset, DWORD value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

// A DDS file: header for the format (a FourCC or one of the 32-bit layouts) followed by payload.
std::string Dds(D3DFORMAT format, UINT w, UINT h, UINT mips, const std::string& payload) {
    std::string bytes(128, '\0');
    bytes.replace(0, 4, "DDS ");
    PutDword(bytes, 4, 124);
    PutDword(bytes, 8, 0x1007 | (mips > 1 ? 0x20000 : 0));
    PutDword(bytes, 12, h);
    PutDword(bytes, 16, w);
    PutDword(bytes, 28, mips);
    PutDword(bytes, 76, 32);
    if (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8) {
        const bool alpha = format == D3DFMT_A8R8G8B8;
        PutDword(bytes, 80, 0x40 | (alpha ? 1 : 0));
        PutDword(bytes, 88, 32);
        PutDword(bytes, 92, 0x00FF0000);
        PutDword(bytes, 96, 0x0000FF00);
        PutDword(bytes, 100, 0x000000FF);
        PutDword(bytes, 104, alpha ? 0xFF000000 : 0);
    } else {
        PutDword(bytes, 80, 0x4);
        PutDword(bytes, 84, format);
    }
    PutDword(bytes, 108, 0x1000);
    return bytes + payload;
}

std::string Words(std::initializer_list<DWORD> words) {
    std::string out;
    for (DWORD w : words) {
        std::string bytes(4, '\0');
        PutDword(bytes, 0, w);
        out += bytes;
    }
    return out;
}

// A DXT colour block: end points and the sixteen 2-bit indices, row by row.
std::string ColorBlock(WORD c0, WORD c1, std::initializer_list<int> indices) {
    DWORD bits = 0;
    int i = 0;
    for (int index : indices)
        bits |= static_cast<DWORD>(index) << (2 * i++);
    return Words({c0 | (DWORD{c1} << 16), bits});
}

// Row pattern 0 1 2 3 on every row: each row shows the whole palette.
const std::initializer_list<int> kPalette = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};

} // namespace

class D3DXTextureFile : public HeadlessDevice {
protected:
    std::string Write(const std::string& name, const std::string& bytes) { return m_dir.Write(name, bytes); }

    IDirect3DTexture9* Load(const std::string& path, HRESULT expected = S_OK) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(D3DXCreateTextureFromFileA(m_device, path.c_str(), &texture), expected) << path;
        m_textures.push_back(texture);
        return texture;
    }

    std::vector<DWORD> Level(IDirect3DTexture9* texture, UINT level) {
        IDirect3DSurface9* surface = nullptr;
        if (texture == nullptr || texture->GetSurfaceLevel(level, &surface) != S_OK)
            return {};
        auto pixels = Pixels(surface);
        surface->Release();
        return pixels;
    }

    D3DSURFACE_DESC Desc(IDirect3DTexture9* texture, UINT level = 0) {
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(level, &desc);
        return desc;
    }

    D3DXIMAGE_INFO Info(const std::string& path) {
        D3DXIMAGE_INFO info;
        EXPECT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), S_OK) << path;
        return info;
    }

    void TearDown() override {
        for (IDirect3DTexture9* texture : m_textures)
            if (texture)
                texture->Release();
        HeadlessDevice::TearDown();
    }

    TempDir m_dir;
    std::vector<IDirect3DTexture9*> m_textures;
};

TEST_F(D3DXTextureFile, LosslessFormatsLoadEveryTexelExactly) {
    for (auto [kind, name] : {std::pair{Kind::Png, "a.png"},
                              {Kind::Bmp, "a.bmp"},
                              {Kind::Tga, "a.tga"},
                              {Kind::TgaRle, "rle.tga"}}) {
        IDirect3DTexture9* texture = Load(Write(name, Encode(kind, 4, 2, kPicture)));
        ASSERT_NE(texture, nullptr) << name;
        EXPECT_EQ(Desc(texture).Format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(Level(texture, 0), kPicture) << name;
    }
}

TEST_F(D3DXTextureFile, MipChainIsBoxFilteredDownToOneTexel) {
    IDirect3DTexture9* texture = Load(Write("a.png", Encode(Kind::Png, 4, 2, kPicture)));
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    // Each level-1 texel is the rounded mean of a 2x2 block, channel by channel.
    EXPECT_EQ(Level(texture, 1), (std::vector<DWORD>{0xB0545C24, 0xB0848CD4}));
    EXPECT_EQ(Desc(texture, 2).Width, 1u);
    EXPECT_EQ(Desc(texture, 2).Height, 1u);
    EXPECT_EQ(Level(texture, 2), std::vector<DWORD>{0xB06C747C});

    // Odd sizes are kept as they are (no rounding to powers of two) and still end at 1x1.
    texture = Load(Write("odd.png", Encode(Kind::Png, 5, 3, std::vector<DWORD>(15, 0xFF336699))));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(Desc(texture).Width, 5u);
    EXPECT_EQ(Desc(texture).Height, 3u);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    EXPECT_EQ(Level(texture, 2), std::vector<DWORD>{0xFF336699});
}

TEST_F(D3DXTextureFile, ImageInfoDescribesEachFileFormat) {
    const std::string bmp = Encode(Kind::Bmp, 4, 2, kPicture);
    struct Case {
        std::string path;
        D3DXIMAGE_FILEFORMAT fileFormat;
        D3DFORMAT format;
        UINT mips;
    } cases[] = {
        {Write("a.png", Encode(Kind::Png, 4, 2, kPicture)), D3DXIFF_PNG, D3DFMT_A8R8G8B8, 1},
        {Write("a.bmp", bmp), D3DXIFF_BMP, D3DFMT_A8R8G8B8, 1},
        {Write("a.DIB", bmp), D3DXIFF_DIB, D3DFMT_A8R8G8B8, 1},
        {Write("a.tga", Encode(Kind::Tga, 4, 2, kPicture)), D3DXIFF_TGA, D3DFMT_A8R8G8B8, 1},
        {Write("a.jpg", Encode(Kind::Jpeg, 4, 2, kPicture)), D3DXIFF_JPG, D3DFMT_X8R8G8B8, 1},
        {Write("1.dds", Dds(D3DFMT_DXT1, 4, 2, 3, std::string(24, '\0'))), D3DXIFF_DDS, D3DFMT_DXT1, 3},
        {Write("3.dds", Dds(D3DFMT_DXT3, 4, 2, 1, std::string(16, '\0'))), D3DXIFF_DDS, D3DFMT_DXT3, 1},
        {Write("5.dds", Dds(D3DFMT_DXT5, 4, 2, 1, std::string(16, '\0'))), D3DXIFF_DDS, D3DFMT_DXT5, 1},
        {Write("x.dds", Dds(D3DFMT_X8R8G8B8, 4, 2, 1, std::string(32, '\0'))), D3DXIFF_DDS, D3DFMT_X8R8G8B8,
         1},
    };
    for (const Case& c : cases) {
        const D3DXIMAGE_INFO info = Info(c.path);
        EXPECT_EQ(info.Width, 4u) << c.path;
        EXPECT_EQ(info.Height, 2u) << c.path;
        EXPECT_EQ(info.Depth, 1u) << c.path;
        EXPECT_EQ(info.MipLevels, c.mips) << c.path;
        EXPECT_EQ(info.Format, c.format) << c.path;
        EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE) << c.path;
        EXPECT_EQ(info.ImageFileFormat, c.fileFormat) << c.path;
    }
}

TEST_F(D3DXTextureFile, JpegLoadsOpaqueAndCloseToTheSource) {
    IDirect3DTexture9* texture =
        Load(Write("a.jpg", Encode(Kind::Jpeg, 8, 8, std::vector<DWORD>(64, 0xFF4080C0))));
    ASSERT_NE(texture, nullptr);
    for (DWORD texel : Level(texture, 0)) {
        EXPECT_EQ(texel >> 24, 0xFFu);
        EXPECT_NEAR(static_cast<int>((texel >> 8) & 0xFF), 0x80, 3);
    }
}

TEST_F(D3DXTextureFile, Dxt1DecodesFourAndThreeColourBlocks) {
    // Red over blue picks four colours; blue under red picks three and transparent black. The
    // second block shows that a 6-wide picture keeps only the first two columns of its last block.
    const std::string blocks = ColorBlock(0xF800, 0x001F, kPalette) + ColorBlock(0x001F, 0xF800, kPalette);
    IDirect3DTexture9* texture = Load(Write("a.dds", Dds(D3DFMT_DXT1, 6, 4, 1, blocks)));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(Desc(texture).Format, D3DFMT_A8R8G8B8);
    const std::vector<DWORD> texels = Level(texture, 0);
    ASSERT_EQ(texels.size(), 24u);
    EXPECT_EQ(std::vector<DWORD>(texels.begin(), texels.begin() + 6),
              (std::vector<DWORD>{0xFFFF0000, 0xFF0000FF, 0xFFAA0055, 0xFF5500AA, 0xFF0000FF, 0xFFFF0000}));
    EXPECT_EQ(std::vector<DWORD>(texels.begin() + 18, texels.end()),
              (std::vector<DWORD>{0xFFFF0000, 0xFF0000FF, 0xFFAA0055, 0xFF5500AA, 0xFF0000FF, 0xFFFF0000}));

    const std::string threeColour = ColorBlock(0x001F, 0xF800, kPalette);
    texture = Load(Write("b.dds", Dds(D3DFMT_DXT1, 4, 4, 1, threeColour)));
    ASSERT_NE(texture, nullptr);
    const std::vector<DWORD> block = Level(texture, 0);
    ASSERT_EQ(block.size(), 16u);
    EXPECT_EQ(std::vector<DWORD>(block.begin(), block.begin() + 4),
              (std::vector<DWORD>{0xFF0000FF, 0xFFFF0000, 0xFF7F007F, 0x00000000}));
}

TEST_F(D3DXTextureFile, Dxt3HasExplicitAlphaAndAlwaysFourColours) {
    std::string alpha;
    for (int i = 0; i < 8; ++i)
        alpha += static_cast<char>((2 * i) | ((2 * i + 1) << 4));
    // Black before white would mean three colours in DXT1; here index 3 stays a colour.
    IDirect3DTexture9* texture =
        Load(Write("a.dds", Dds(D3DFMT_DXT3, 4, 4, 1, alpha + ColorBlock(0x0000, 0xFFFF, kPalette))));
    ASSERT_NE(texture, nullptr);
    const std::vector<DWORD> texels = Level(texture, 0);
    const DWORD colours[4] = {0x000000, 0xFFFFFF, 0x555555, 0xAAAAAA};
    for (UINT i = 0; i < 16; ++i)
        EXPECT_EQ(texels.at(i), ((i * 17) << 24) | colours[i % 4]) << i;
}

TEST_F(D3DXTextureFile, Dxt5InterpolatesAlphaInBothModes) {
    auto block = [](BYTE a0, BYTE a1) {
        std::string out{static_cast<char>(a0), static_cast<char>(a1)};
        // Indices 0..7 in the first eight texels, then 0..7 again.
        std::uint64_t bits = 0;
        for (int i = 0; i < 16; ++i)
            bits |= std::uint64_t(i % 8) << (3 * i);
        for (int i = 0; i < 6; ++i)
            out += static_cast<char>(bits >> (8 * i));
        return out + ColorBlock(0xFFFF, 0x0000, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    };
    IDirect3DTexture9* texture =
        Load(Write("a.dds", Dds(D3DFMT_DXT5, 8, 4, 1, block(70, 0) + block(0, 100))));
    ASSERT_NE(texture, nullptr);
    const std::vector<DWORD> texels = Level(texture, 0);
    const DWORD eight[8] = {70, 0, 60, 50, 40, 30, 20, 10};
    const DWORD six[8] = {0, 100, 20, 40, 60, 80, 0, 255};
    for (UINT i = 0; i < 8; ++i) {
        // Texel i of a block sits at (i % 4, i / 4) within it.
        EXPECT_EQ(texels.at((i / 4) * 8 + i % 4), (eight[i] << 24) | 0xFFFFFF) << i;
        EXPECT_EQ(texels.at((i / 4) * 8 + 4 + i % 4), (six[i] << 24) | 0xFFFFFF) << i;
    }
}

TEST_F(D3DXTextureFile, UncompressedDdsKeepsItsOwnMipLevels) {
    // Level 1 is deliberately not the mean of level 0, so the file's own level must be the one used.
    const std::string texels = Words({0x80112233, 0xFF445566, 0x00778899, 0x40AABBCC, 0x12345678});
    IDirect3DTexture9* texture = Load(Write("a.dds", Dds(D3DFMT_A8R8G8B8, 2, 2, 2, texels)));
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(texture->GetLevelCount(), 2u);
    EXPECT_EQ(Level(texture, 0), (std::vector<DWORD>{0x80112233, 0xFF445566, 0x00778899, 0x40AABBCC}));
    EXPECT_EQ(Level(texture, 1), std::vector<DWORD>{0x12345678});

    texture = Load(Write("x.dds", Dds(D3DFMT_X8R8G8B8, 2, 1, 1, Words({0x00102030, 0x7F405060}))));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(Level(texture, 0), (std::vector<DWORD>{0xFF102030, 0xFF405060}));
}

TEST_F(D3DXTextureFile, ColourKeyClearsOnlyExactMatchesAlphaIncluded) {
    const std::vector<DWORD> picture = {0xFFFF00FF, 0x80FF00FF, 0xFFFE00FF, 0xFF000000};
    const std::string path = Write("key.png", Encode(Kind::Png, 4, 1, picture));
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(m_device, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                                           0xFFFF00FF, &info, nullptr, &texture),
              S_OK);
    m_textures.push_back(texture);
    EXPECT_EQ(Level(texture, 0), (std::vector<DWORD>{0x00000000, 0x80FF00FF, 0xFFFE00FF, 0xFF000000}));
    EXPECT_EQ(info.Width, 4u);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
}

TEST_F(D3DXTextureFile, ExtendedLoadHonoursSizeLevelsAndFormat) {
    const std::string path = Write("a.png", Encode(Kind::Png, 4, 2, kPicture));
    auto load = [&](UINT w, UINT h, UINT mips, D3DFORMAT format) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(D3DXCreateTextureFromFileExA(m_device, path.c_str(), w, h, mips, 0, format, D3DPOOL_MANAGED,
                                               D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
                  S_OK);
        m_textures.push_back(texture);
        return texture;
    };
    IDirect3DTexture9* texture = load(8, 4, D3DX_FROM_FILE, D3DFMT_UNKNOWN);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetLevelCount(), 1u);
    EXPECT_EQ(Desc(texture).Width, 8u);
    EXPECT_EQ(Desc(texture).Height, 4u);
    const std::vector<DWORD> big = Level(texture, 0);
    // Doubling maps the outer texel centres onto the source's own corner texels.
    EXPECT_EQ(big.at(0), kPicture[0]);
    EXPECT_EQ(big.at(7), kPicture[3]);
    EXPECT_EQ(big.at(31), kPicture[7]);

    texture = load(D3DX_DEFAULT_NONPOW2, D3DX_FROM_FILE, 2, D3DFMT_X8R8G8B8);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetLevelCount(), 2u);
    EXPECT_EQ(Desc(texture).Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(Level(texture, 0).at(2), 0xFF708090);
}

TEST_F(D3DXTextureFile, TruncatedFilesFailCleanlyAtEveryLength) {
    const std::string files[] = {
        Encode(Kind::Png, 4, 2, kPicture),
        Encode(Kind::Bmp, 4, 2, kPicture),
        Encode(Kind::Tga, 4, 2, kPicture),
        Encode(Kind::TgaRle, 4, 2, kPicture),
        Encode(Kind::Jpeg, 4, 2, kPicture),
        Dds(D3DFMT_DXT1, 4, 4, 3, std::string(24, '\x55')),
        Dds(D3DFMT_A8R8G8B8, 2, 2, 2, std::string(20, '\x7F')),
    };
    for (const std::string& whole : files) {
        // A PNG may lose the checksum of its end marker without losing any picture.
        const std::size_t keep = whole.compare(1, 3, "PNG") == 0 ? 4 : 0;
        for (std::size_t length = 0; length + keep < whole.size(); ++length) {
            const std::string path = Write("cut", whole.substr(0, length));
            EXPECT_EQ(Load(path, D3DXERR_INVALIDDATA), nullptr) << whole.substr(0, 4) << " cut to " << length;
            D3DXIMAGE_INFO info;
            const HRESULT described = D3DXGetImageInfoFromFileA(path.c_str(), &info);
            EXPECT_TRUE(described == S_OK || described == D3DXERR_INVALIDDATA);
        }
    }
}

TEST_F(D3DXTextureFile, DamagedFilesNeverCrashOrAllocateWildly) {
    // Headers that promise pictures far larger than the file.
    std::string png = Encode(Kind::Png, 4, 2, kPicture);
    png.replace(16, 8, std::string("\x00\x00\x3F\xFF\x00\x00\x3F\xFF", 8));
    std::string dds = Dds(D3DFMT_A8R8G8B8, 0x40000000, 0x40000000, 1, std::string(64, '\0'));
    std::string mips = Dds(D3DFMT_DXT1, 4, 4, 9, std::string(200, '\0'));
    for (const std::string& bad : {png, dds, mips, std::string("not a picture at all")})
        EXPECT_EQ(Load(Write("bad", bad), D3DXERR_INVALIDDATA), nullptr);

    // Random damage to each file ends in a texture or a clean failure.
    std::mt19937 random(1234);
    for (Kind kind : {Kind::Png, Kind::Bmp, Kind::TgaRle, Kind::Jpeg}) {
        const std::string whole = Encode(kind, 8, 8, std::vector<DWORD>(64, 0xFF8040C0));
        for (int round = 0; round < 100; ++round) {
            std::string damaged = whole;
            for (int hits = 0; hits < 3; ++hits)
                damaged[random() % damaged.size()] = static_cast<char>(random());
            IDirect3DTexture9* texture = nullptr;
            const HRESULT result =
                D3DXCreateTextureFromFileA(m_device, Write("damaged", damaged).c_str(), &texture);
            EXPECT_TRUE(result == S_OK || (result == D3DXERR_INVALIDDATA && texture == nullptr));
            m_textures.push_back(texture);
        }
    }
}

TEST_F(D3DXTextureFile, OddButSoundPngAndUnsoundJpegTables) {
    // An empty image-data chunk ahead of the real one carries nothing and must not upset the decoder.
    std::string png = Encode(Kind::Png, 4, 2, kPicture);
    png.insert(png.find("IDAT") - 4, std::string("\0\0\0\0IDAT\0\0\0\0", 12));
    EXPECT_EQ(Level(Load(Write("empty.png", png)), 0), kPicture);

    // A Huffman table declaring more than 256 codes is refused, not decoded past its end.
    std::string jpeg = Encode(Kind::Jpeg, 4, 2, kPicture);
    const std::size_t table = jpeg.find("\xFF\xC4");
    ASSERT_NE(table, std::string::npos);
    jpeg[table + 5 + 14] = static_cast<char>(0xFF);
    jpeg[table + 5 + 15] = static_cast<char>(0xFF);
    EXPECT_EQ(Load(Write("tables.jpg", jpeg), D3DXERR_INVALIDDATA), nullptr);
}

TEST_F(D3DXTextureFile, BadArgumentsAndMissingFilesLeaveNoTexture) {
    const std::string path = Write("a.png", Encode(Kind::Png, 4, 2, kPicture));
    IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(0x1);
    EXPECT_EQ(D3DXCreateTextureFromFileA(nullptr, path.c_str(), &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(D3DXCreateTextureFromFileA(m_device, nullptr, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileA(m_device, path.c_str(), nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(Load(m_dir.File("missing.png"), D3DXERR_INVALIDDATA), nullptr);
    EXPECT_EQ(Load(m_dir.Path().string(), D3DXERR_INVALIDDATA), nullptr);
    D3DXIMAGE_INFO info;
    EXPECT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXGetImageInfoFromFileA(m_dir.File("missing.png").c_str(), &info), D3DXERR_INVALIDDATA);
}

TEST_F(D3DXTextureFile, SharedCorpusPicturesLoadAtTheirOwnSize) {
    const std::filesystem::path corpus = FSMITH_SOURCE_DIR "/../shared/testdata/x-corpus";
    if (!std::filesystem::exists(corpus / "test.png"))
        GTEST_SKIP() << "no shared corpus";
    for (const char* name : {"test.png", "top.tga", "bottom.tga", "updown.tga"}) {
        const std::string path = (corpus / name).string();
        if (!std::filesystem::exists(path))
            continue;
        const D3DXIMAGE_INFO info = Info(path);
        EXPECT_EQ(info.Format, D3DFMT_R8G8B8) << name;
        IDirect3DTexture9* texture = Load(path);
        ASSERT_NE(texture, nullptr) << name;
        EXPECT_EQ(Desc(texture).Width, info.Width);
        EXPECT_EQ(Desc(texture).Height, info.Height);
        for (DWORD texel : Level(texture, 0))
            ASSERT_EQ(texel >> 24, 0xFFu) << name;
    }
}

class D3DXCreateEmptyTexture : public HeadlessDevice {
protected:
    // Width, height, level count and format of what D3DXCreateTexture made, or the failure code.
    std::tuple<UINT, UINT, DWORD, D3DFORMAT> Make(UINT w, UINT h, UINT mips, D3DFORMAT format) {
        IDirect3DTexture9* texture = nullptr;
        if (D3DXCreateTexture(m_device, w, h, mips, 0, format, D3DPOOL_MANAGED, &texture) != S_OK)
            return {0, 0, 0, D3DFMT_UNKNOWN};
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(0, &desc);
        const DWORD levels = texture->GetLevelCount();
        texture->Release();
        return {desc.Width, desc.Height, levels, desc.Format};
    }
};

TEST_F(D3DXCreateEmptyTexture, CorrectsSizesLevelsAndFormats) {
    using T = std::tuple<UINT, UINT, DWORD, D3DFORMAT>;
    EXPECT_EQ(Make(0, 0, 0, D3DFMT_A8R8G8B8), (T{1, 1, 1, D3DFMT_A8R8G8B8}));
    EXPECT_EQ(Make(D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_UNKNOWN), (T{256, 256, 1, D3DFMT_A8R8G8B8}));
    EXPECT_EQ(Make(D3DX_DEFAULT, 32, D3DX_DEFAULT, D3DFMT_X8R8G8B8), (T{32, 32, 6, D3DFMT_X8R8G8B8}));
    EXPECT_EQ(Make(12, 5, 0, D3DFMT_R5G6B5), (T{12, 5, 4, D3DFMT_X8R8G8B8}));
    EXPECT_EQ(Make(8, 8, 2, D3DFMT_DXT5), (T{8, 8, 2, D3DFMT_A8R8G8B8}));
    EXPECT_EQ(Make(8, 8, 1, D3DFMT_R32F), (T{8, 8, 1, D3DFMT_R32F}));
}

TEST_F(D3DXCreateEmptyTexture, RefusesWhatTheDeviceCannotMake) {
    IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(0x1);
    EXPECT_EQ(D3DXCreateTexture(m_device, 8, 8, 1, 0, D3DFMT_D16, D3DPOOL_DEFAULT, &texture),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(D3DXCreateTexture(m_device, 8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTexture(nullptr, 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    ASSERT_EQ(D3DXCreateTexture(m_device, 8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                &texture),
              S_OK);
    texture->Release();
}
