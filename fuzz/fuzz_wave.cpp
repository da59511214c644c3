// Wave files: RIFF chunks, the format and the samples as the sound layer reads them. A file that
// opens has a format, never gives more samples than its data chunk declares, and reads the same
// samples again after a reset.
#include "D3DZCWaveSoundRead.h"
#include "FuzzCheck.h"
#include "FuzzFile.h"

#include <cstdint>
#include <vector>

namespace {

std::vector<BYTE> ReadAll(D3DZCWaveSoundRead& wave) {
    const DWORD declared = wave.m_ckData.cksize;
    std::vector<BYTE> samples;
    BYTE block[4096];
    for (;;) {
        UINT got = 0;
        if (FAILED(wave.Read(sizeof block, block, &got)) || got == 0)
            break;
        FuzzCheck(got <= sizeof block, "a read stays within the buffer");
        samples.insert(samples.end(), block, block + got);
    }
    FuzzCheck(samples.size() <= declared, "no more samples than the data chunk declares");
    return samples;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzFile file(data, size);
    D3DZCWaveSoundRead wave;
    if (!file.Ok() || FAILED(wave.Open(file.CPath())))
        return 0;
    FuzzCheck(wave.m_pWaveFormat != nullptr, "an open wave file has a format");
    const std::vector<BYTE> first = ReadAll(wave);
    if (SUCCEEDED(wave.Reset()))
        FuzzCheck(ReadAll(wave) == first, "a reset reads the same samples again");
    wave.Close();
    return 0;
}
