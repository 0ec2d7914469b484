// JPEG files through libjpeg-turbo, decoded straight into the engine's rows:
// grey as grey, colour as blue-green-red. The library's errors come back
// here by longjmp into the two functions that call it, whose frames hold
// nothing that needs destroying; its messages are kept, never printed.

#include <algorithm>
#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "PictureReader.h"

namespace {

constexpr std::size_t kInputBufferBytes = 64 * 1024;
// Progressive files may hold any number of scans, each a pass over the
// whole picture; real ones have about ten.
constexpr int kMaxScans = 1000;
// What the library may hold besides the rows (a progressive file's
// coefficients).
constexpr long kMaxLibraryMemory = 1L << 30;

struct SJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char warning[JMSG_LENGTH_MAX];  // the first warning that changes pixels
    bool inHeaders;                 // reading the markers before the first scan
};

struct SJpegSource {
    jpeg_source_mgr manager;
    CCodecInput* input;
    bool cutShort;
    JOCTET buffer[kInputBufferBytes];
};

void OnError(j_common_ptr info) {
    auto* error = reinterpret_cast<SJpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}
// Warnings that change no pixel: a JFIF version or an ICC profile, which
// Orvex does not use; bytes skipped before a marker of the headers (a
// segment shorter than its length says, stray bytes between segments); bytes
// skipped before a restart marker, which come after all the blocks of the
// interval were decoded (the library starts afresh at the marker, and the
// pixels are those of the file without the bytes, as other decoders show
// them). Bytes left over at the end of a scan are not among them: a scan
// whose data was altered ends early and leaves them.
bool ChangesNoPixel(const SJpegError& error) {
    const int code = error.manager.msg_code;
    if (code == JWRN_EXTRANEOUS_DATA) {
        const int marker = error.manager.msg_parm.i[1];
        return error.inHeaders || (marker >= JPEG_RST0 && marker <= JPEG_RST0 + 7);
    }
    return code == JWRN_JFIF_MAJOR || code == JWRN_BOGUS_ICC;
}

void OnMessage(j_common_ptr info, int level) {
    auto* error = reinterpret_cast<SJpegError*>(info->err);
    if (level >= 0 || error->warning[0] != 0 || ChangesNoPixel(*error)) return;
    (*info->err->format_message)(info, error->warning);
}

void OnProgress(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) {
        info->err->msg_code = JERR_BAD_PROGRESSION;
        (*info->err->error_exit)(info);
    }
}

void InitSource(j_decompress_ptr) {}
boolean FillInput(j_decompress_ptr info) {
    auto* source = reinterpret_cast<SJpegSource*>(info->src);
    std::size_t got = source->input->Read(source->buffer, kInputBufferBytes);
    if (got == 0) {
        // A cut file: an end marker lets the library stop; the read fails.
        source->cutShort = true;
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = got;
    return TRUE;
}
void SkipInput(j_decompress_ptr info, long count) {
    auto* source = &info->src;
    while (count > static_cast<long>((*source)->bytes_in_buffer)) {
        count -= static_cast<long>((*source)->bytes_in_buffer);
        FillInput(info);
    }
    (*source)->next_input_byte += count;
    (*source)->bytes_in_buffer -= static_cast<std::size_t>(count);
}
void TermSource(j_decompress_ptr) {}

class CJpegReader : public CPictureReader {
public:
    explicit CJpegReader(CCodecInput& input) {
        info_.err = jpeg_std_error(&error_.manager);
        error_.manager.error_exit = OnError;
        error_.manager.emit_message = OnMessage;
        error_.message[0] = 0;
        error_.warning[0] = 0;
        source_->input = &input;
        source_->cutShort = false;
        source_->manager = {nullptr,   0, InitSource, FillInput, SkipInput, jpeg_resync_to_restart,
                            TermSource};
        progress_.progress_monitor = OnProgress;
    }
    ~CJpegReader() override { jpeg_destroy_decompress(&info_); }

    bool ReadHeader(SPictureHeader& header) override {
        if (!StartDecoding()) {
            // Samples of 12 or 16 bits: a sound file this library build
            // does not decode.
            if (error_.manager.msg_code == JERR_BAD_PRECISION)
                return Fail(CodecStatus::Unsupported,
                            "unsupported JPEG file (" +
                                std::to_string(error_.manager.msg_parm.i[0]) + "-bit samples)");
            return Damaged();
        }
        if (info_.out_color_space == JCS_UNKNOWN)
            return Fail(CodecStatus::Unsupported, "unsupported JPEG file (CMYK or YCCK colours)");
        header.width = info_.output_width;
        header.height = info_.output_height;
        header.kind =
            info_.out_color_space == JCS_GRAYSCALE ? PictureKind::Grey8 : PictureKind::Colour24;
        return true;
    }

    bool ReadPixels(const SPictureRows& rows) override {
        if (!DecodeRows(rows)) return Damaged();
        if (source_->cutShort)
            return Fail(CodecStatus::Damaged,
                        "damaged JPEG file (it ends before the picture does)");
        if (error_.warning[0] != 0)
            return Fail(CodecStatus::Damaged,
                        std::string("damaged JPEG file (") + error_.warning + ")");
        return true;
    }

private:
    bool Damaged() {
        return Fail(CodecStatus::Damaged,
                    std::string("damaged JPEG file (") +
                        (source_->cutShort ? "it ends before the picture does" : error_.message) +
                        ")");
    }

    bool StartDecoding() {
        if (setjmp(error_.jump) != 0) return false;
        jpeg_create_decompress(&info_);
        info_.mem->max_memory_to_use = kMaxLibraryMemory;
        info_.src = &source_->manager;
        info_.progress = &progress_;
        error_.inHeaders = true;
        jpeg_read_header(&info_, TRUE);
        error_.inHeaders = false;
        if (info_.jpeg_color_space == JCS_CMYK || info_.jpeg_color_space == JCS_YCCK) {
            info_.out_color_space = JCS_UNKNOWN;
            return true;
        }
        info_.out_color_space = info_.num_components == 1 ? JCS_GRAYSCALE : JCS_EXT_BGR;
        jpeg_calc_output_dimensions(&info_);
        return true;
    }

    bool DecodeRows(const SPictureRows& rows) {
        if (setjmp(error_.jump) != 0) return false;
        jpeg_start_decompress(&info_);
        JSAMPROW targets[16];
        while (info_.output_scanline < info_.output_height) {
            const int first = static_cast<int>(info_.output_scanline);
            const int count = std::min<int>(16, rows.height - first);
            for (int k = 0; k < count; ++k) targets[k] = rows.Row(first + k);
            jpeg_read_scanlines(&info_, targets, static_cast<JDIMENSION>(count));
        }
        jpeg_finish_decompress(&info_);
        return true;
    }

    jpeg_decompress_struct info_{};
    SJpegError error_{};
    jpeg_progress_mgr progress_{};
    std::unique_ptr<SJpegSource> source_ = std::make_unique<SJpegSource>();
};

}  // namespace

bool MatchesJpeg(const std::uint8_t* head, std::size_t size) {
    return size >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

std::unique_ptr<CPictureReader> NewJpegReader(CCodecInput& input) {
    return std::make_unique<CJpegReader>(input);
}
