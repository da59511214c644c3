#include "JpegDecoder.h"

#include "d3d9types.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// Real pictures have a few dozen scans at most; each scan of a progressive file walks the whole
// coefficient buffer, so thousands of tiny scans would take minutes.
constexpr int kMaxScans = 500;

// libjpeg reports fatal errors through a callback that must not return: it jumps back here. The
// state lives in this object, not in locals of the function that sets the jump, so that it is intact
// after the jump.
struct Session {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump{};
    bool truncated = false;

    static Session& Of(j_common_ptr common) { return *static_cast<Session*>(common->client_data); }

    static void Exit(j_common_ptr common) { std::longjmp(Of(common).jump, 1); }

    // Warnings go nowhere, but the one for a file that ends early fails the decode.
    static void Message(j_common_ptr common, int level) {
        if (level < 0 && common->err->msg_code == JWRN_JPEG_EOF)
            Of(common).truncated = true;
    }

    static void Progress(j_common_ptr common) {
        if (reinterpret_cast<j_decompress_ptr>(common)->input_scan_number > kMaxScans)
            std::longjmp(Of(common).jump, 1);
    }

    Session() {
        info.err = jpeg_std_error(&errors);
        errors.error_exit = &Exit;
        errors.emit_message = &Message;
        progress.progress_monitor = &Progress;
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { jpeg_destroy_decompress(&info); }

    void Start(std::span<const BYTE> bytes) {
        info.client_data = this; // kept by the create call, which may already fail
        jpeg_create_decompress(&info);
        info.progress = &progress;
        jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&info, TRUE);
    }
};

DWORD Texel(const JSAMPLE* sample, int components) {
    if (components == 4) {
        // Adobe's inverted CMYK, as the library hands it back for CMYK and YCCK files.
        const auto scale = [&](int channel) { return (sample[channel] * sample[3] + 127) / 255; };
        return D3DCOLOR_ARGB(255, scale(0), scale(1), scale(2));
    }
    return D3DCOLOR_ARGB(255, sample[0], sample[1], sample[2]);
}

bool ReadRows(Session& session, ArgbImage& picture, std::vector<JSAMPLE>& row) {
    jpeg_decompress_struct& info = session.info;
    info.out_color_space = info.num_components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    const int components = info.output_components;
    row.resize(std::size_t{info.output_width} * static_cast<std::size_t>(components));
    picture = ArgbImage(info.output_width, info.output_height);
    while (info.output_scanline < info.output_height && !session.truncated) {
        const UINT y = info.output_scanline;
        JSAMPROW rows[] = {row.data()};
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            return false;
        for (UINT x = 0; x < info.output_width; ++x)
            picture.At(x, y) = Texel(&row[std::size_t{x} * components], components);
    }
    if (session.truncated)
        return false;
    jpeg_finish_decompress(&info);
    return !session.truncated;
}

} // namespace

bool JpegDecoder::ReadHeader(std::span<const BYTE> bytes, Header& header) {
    Session session;
    if (setjmp(session.jump) != 0)
        return false;
    session.Start(bytes);
    header.width = session.info.image_width;
    header.height = session.info.image_height;
    header.components = session.info.num_components;
    return !session.truncated;
}

bool JpegDecoder::Decode(std::span<const BYTE> bytes, ArgbImage& picture) {
    Session session;
    std::vector<JSAMPLE> row;
    if (setjmp(session.jump) != 0)
        return false;
    session.Start(bytes);
    return ReadRows(session, picture, row);
}
