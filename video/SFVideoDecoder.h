#pragma once
// The player's decoder: the demuxer, the decoder and the scaler of one file's first video
// stream, pulled one shown picture at a time and brought into one packed 8-bit 4:2:0 buffer
// (Y, then U, then V, rows without padding; odd source sizes lose their last column or row; a
// picture shrunk to a shown size may have odd sides, its chroma planes then (w + 1) / 2 wide and
// (h + 1) / 2 high).
//
// Threads: not locked. One thread at a time uses it: the player's caller while no decoding thread
// runs (Open, Close), the decoding thread while it runs (Seek, Next, Planes). The only thing read
// from another thread is the interrupt flag given at construction, which FFmpeg's blocking I/O
// polls: while it is true, reads give up and Next returns Interrupted; and the shown size
// (SetShownSize), which any thread may set.
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "video/SFFFmpeg.h"

namespace SF_SOFT_BASE {

// A picture Next has brought into the planes.
struct SFDecodedPicture {
    int width = 0;
    int height = 0;
    int64_t us = 0;  // from the stream's start
    ESFColorMatrix matrix = ESFColorMatrix::Bt601;
    ESFColorRange range = ESFColorRange::Limited;
};

enum class ESFDecodeStep {
    Picture,      // a picture is in the planes
    End,          // the file is drained (or the rest given up); Next keeps saying so until a Seek
    Interrupted,  // the interrupt flag was raised while reading
};

class CSFVideoDecoder {
public:
    explicit CSFVideoDecoder(const std::atomic<bool>& interrupt) : m_interrupt(interrupt) {}
    CSFVideoDecoder(const CSFVideoDecoder&) = delete;
    CSFVideoDecoder& operator=(const CSFVideoDecoder&) = delete;

    // Opens `path`'s first video stream and its decoder. False (logged) when the file is missing,
    // unreadable, not a video, or its picture is larger than kSFMaxVideoSide; the decoder then
    // holds no file.
    bool Open(const std::string& path);
    // Releases the file and the frame buffer.
    void Close();
    bool IsOpen() const { return m_input != nullptr; }

    // Moves to position x duration (0.0 the start, 1.0 the end). Frames before the target are
    // decoded but not shown; the decoder's state is flushed and reading starts again.
    void Seek(double position);

    // Decodes until the next picture to show. Damaged packets are skipped, frames larger than
    // kSFMaxVideoSide or in a layout without a conversion are dropped, and repeated read or
    // decode failures end the file.
    ESFDecodeStep Next(SFDecodedPicture& picture);

    // The size in pixels the pictures are shown at, 0 x 0 for unknown (the start). Along each
    // side where the picture is larger, it is brought into the planes at the shown size (each
    // output pixel the average of the source pixels it covers). Any thread; taken up by the next
    // picture.
    void SetShownSize(int width, int height);

    // The last picture Next produced; unchanged until the next Next, Seek or Close.
    std::span<const uint8_t> Planes() const { return m_planes; }
    // The stamp the frame after the last decoded one would carry: its end of time on screen.
    int64_t NextUs() const { return m_nextGuessUs; }

private:
    static int Interrupt(void* opaque);
    int64_t ToUs(int64_t stamp) const;
    // Stamps, seek target and conversion of one decoded frame; false when it is not shown.
    bool Accept(const AVFrame& frame, SFDecodedPicture& picture);
    bool Convert(const AVFrame& frame, int& width, int& height);
    // Reads one packet and sends it to the decoder (or starts the flush at the end).
    void Feed();

    const std::atomic<bool>& m_interrupt;
    std::atomic<uint64_t> m_shownSize{0};  // width << 32 | height
    ffmpeg::InputPtr m_input;
    ffmpeg::CodecPtr m_codec;
    ffmpeg::ScalePtr m_scale;
    ffmpeg::PacketPtr m_packet;
    ffmpeg::FramePtr m_frame;
    bool m_packetHeld = false;  // refused by a decoder that had output pending: sent again
    int m_streamIndex = -1;
    AVRational m_timeBase{1, 1};
    int64_t m_startStamp = 0;
    int64_t m_seekTarget = AV_NOPTS_VALUE;
    int64_t m_nextGuessUs = 0;
    bool m_flushing = false;
    int m_readErrors = 0;
    int m_flushErrors = 0;
    std::vector<uint8_t> m_planes;
};

}  // namespace SF_SOFT_BASE
