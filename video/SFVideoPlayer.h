#pragma once
// The sample player: decodes the video stream of one file with FFmpeg on its own thread, paced
// by the stream's timestamps (real time), and hands every frame to a callback as one buffer:
// Y (w x h), then U and V ((w + 1) / 2 x (h + 1) / 2 each), rows without padding. Any source
// format arrives as 8-bit 4:2:0; an odd source width or height loses its last column or row;
// frames larger than the shown size (SetShownSize) arrive shrunk to it; the frame's colour
// matrix and range come with it.
//
// Threads: every operation may be called from any thread except where noted; callbacks run on
// the player's decoding thread, one at a time, without any player lock held. The frame buffer
// handed to the frame callback is valid only during the call; copy what you keep.
// At the end of the file the end-of-file callback runs once and the thread then waits for a new
// position (SetPosition), which makes a rewind loop the file.
// Stop and Close return promptly (the decoding thread is interrupted, not drained); once Close
// (or Stop) has returned no callback is running or will start, also when several threads stop at
// once. Play refuses (returns 0) while another thread is stopping, closing or opening. Called
// from inside a callback, Stop only asks the thread to end after the callback (a later Play from
// another thread resumes), and Open and Close refuse (return 0).
//
// Built from three parts, each with its own contract: the decoder (SFVideoDecoder.h: FFmpeg,
// one picture at a time into the packed buffer), the pacing clock (SFPacingClock.h: when each
// picture is due) and the thread shell (SFPlayerThread.h: starting, stopping and joining the
// decoding thread, and who waits for whom).
//
// The same operations exist as a table of ports (integer handles), in the order a caller uses
// them: GetPort, OpenFile, SetDecodeCallback, SetFileEndCallback, Play, GetPlayedTime,
// SetPlayPos, Stop, CloseFile, FreePort. Results are 1 (done) or 0 (refused).
#include <cstdint>
#include <memory>
#include <string>

#include "video/SFYuvToRgb.h"

namespace SF_SOFT_BASE {

// (port, data, data size, width, height, time stamp in ms, matrix, range, frame number, user)
using SFDecodeCallback = void (*)(int port, const uint8_t* data, int size, int width, int height,
                                  int stampMs, ESFColorMatrix matrix, ESFColorRange range,
                                  int frameNumber, void* user);
// (port, user)
using SFFileEndCallback = void (*)(int port, void* user);

// The largest picture side played; larger streams are refused when opened and larger frames
// inside a stream are skipped.
inline constexpr int kSFMaxVideoSide = 8192;

class CSFVideoPlayer {
public:
    explicit CSFVideoPlayer(int port = 0);
    ~CSFVideoPlayer();  // closes
    CSFVideoPlayer(const CSFVideoPlayer&) = delete;
    CSFVideoPlayer& operator=(const CSFVideoPlayer&) = delete;

    // Opens the file's first video stream and its decoder (closing any open file first). A
    // relative name is looked up in the application directory. 0 when the file is missing,
    // unreadable, not a video, or its picture is larger than kSFMaxVideoSide.
    int Open(const std::string& fileName);
    void SetDecodeCallback(SFDecodeCallback callback, void* user);
    void SetFileEndCallback(SFFileEndCallback callback, void* user);
    // Starts (or resumes) decoding. 1 when playing, 0 without an open file.
    int Play();
    // Seconds from the stream's start to the last delivered frame.
    int PlayedTime() const;
    // Moves to position x duration (0.0 = the start, 1.0 = the end). Taken up by the decoding
    // thread before its next frame, or when Play starts. 0 without an open file or for a
    // position outside 0..1.
    int SetPosition(float position);
    // Ends the decoding thread; the file stays open and Play resumes.
    int Stop();
    int Close();

    // The size in pixels the frames are shown at (0 x 0: unknown, the start). Along each side
    // where a frame is larger it is delivered at the shown size, each pixel the average of the
    // source pixels it covers: what the receiver would throw away costs it no copy, conversion
    // or scaling. Any thread, any time; taken up from the next frame.
    void SetShownSize(int width, int height);
    // Deliver frames as fast as they decode (benchmarks, tests); real time by default.
    void SetRealTime(bool realTime);
    bool IsOpen() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

int SFPlay_GetPort(int* port);
int SFPlay_FreePort(int port);
int SFPlay_OpenFile(int port, const char* fileName);
int SFPlay_SetDecodeCallback(int port, SFDecodeCallback callback, void* user);
int SFPlay_SetFileEndCallback(int port, SFFileEndCallback callback, void* user);
// The window handle must be -1 (no player-owned window): frames go to the decode callback.
int SFPlay_Play(int port, intptr_t window);
int SFPlay_GetPlayedTime(int port);
int SFPlay_SetPlayPos(int port, float position);
int SFPlay_SetShownSize(int port, int width, int height);
int SFPlay_Stop(int port);
int SFPlay_CloseFile(int port);

}  // namespace SF_SOFT_BASE
