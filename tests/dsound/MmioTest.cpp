#include "TempDir.h"
#include "WaveFiles.h"
#include "mmsystem.h"

#include <memory>

#include <gtest/gtest.h>

using namespace WaveFiles;

namespace {

// A wave file with a LIST chunk before "fmt " and an odd-sized one after it, so that finding a chunk
// must step over others and their pad bytes.
std::string MixedChunks() {
    return Riff(Chunk("LIST", "INFOabc") + Chunk("fmt ", Format(1, 1, 8000, 8)) + Chunk("junk", "xyz") +
                Chunk("data", "12345678"));
}

struct FileCloser {
    void operator()(MmioFile* file) const { mmioClose(file, 0); }
};
using MmioHandle = std::unique_ptr<MmioFile, FileCloser>;

} // namespace

TEST(Mmio, FindsChunksInsideTheRiffFormPastOthersAndTheirPadBytes) {
    TempDir dir;
    MmioHandle file(mmioOpenA(dir.Write("a.wav", MixedChunks()).c_str(), nullptr, MMIO_ALLOCBUF | MMIO_READ));
    ASSERT_NE(file, nullptr);
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(mmioDescend(file.get(), &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);

    const struct {
        FOURCC id;
        DWORD size;
        std::string body;
    } chunks[] = {{mmioFOURCC('f', 'm', 't', ' '), 16, ""}, {mmioFOURCC('d', 'a', 't', 'a'), 8, "12345678"}};
    for (const auto& c : chunks) {
        MMCKINFO chunk{};
        chunk.ckid = c.id;
        ASSERT_EQ(mmioDescend(file.get(), &chunk, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
        EXPECT_EQ(chunk.cksize, c.size);
        if (!c.body.empty()) {
            std::string body(c.size, '\0');
            EXPECT_EQ(mmioRead(file.get(), body.data(), static_cast<LONG>(c.size)),
                      static_cast<LONG>(c.size));
            EXPECT_EQ(body, c.body);
        }
        ASSERT_EQ(mmioAscend(file.get(), &chunk, 0), MMSYSERR_NOERROR);
    }
}

TEST(Mmio, ReportsMissingFilesAndChunks) {
    TempDir dir;
    EXPECT_EQ(mmioOpenA(dir.File("none.wav").c_str(), nullptr, MMIO_READ), nullptr);

    MmioHandle file(mmioOpenA(dir.Write("a.wav", MixedChunks()).c_str(), nullptr, MMIO_READ));
    ASSERT_NE(file, nullptr);
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(mmioDescend(file.get(), &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
    MMCKINFO missing{};
    missing.ckid = mmioFOURCC('c', 'u', 'e', ' ');
    EXPECT_EQ(mmioDescend(file.get(), &missing, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
}
