#pragma once
// The hand-over of decoded frames from the player's thread to the GUI thread, bounded: at most
// kMaxWaiting frames wait for drawing. A frame arriving while that many wait replaces the oldest
// waiting one (a late frame is dropped, the newer ones are drawn in their order), so a held GUI
// thread never makes the queue or its memory grow, and the picture is back in step with the
// player's clock as soon as the GUI thread runs again.
//
// Threads: Push from one producer thread at a time (the player calls back one frame at a time);
// Take and the counters from the GUI thread. The buffers are a pool of at most kMaxWaiting + 2
// (one being filled, the waiting ones, the one being drawn); a buffer keeps its memory while the
// frame size stays the same. The frame being filled and the one being drawn are never the same
// buffer, so a copy and a draw never overlap; the mutex is held only to move buffers between
// lists, never during a copy or a draw.
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "video/SFYuvToRgb.h"

namespace SF_SOFT_BASE {

struct SFQueuedFrame {
    std::vector<uint8_t> data;  // Y, then U, then V, rows without padding
    int width = 0;
    int height = 0;
    ESFColorMatrix matrix = ESFColorMatrix::Bt601;
    ESFColorRange range = ESFColorRange::Limited;
    int number = 0;
};

class CSFFrameQueue {
public:
    static constexpr int kMaxWaiting = 2;

    // The bytes of a 4:2:0 frame: w x h luma and two (w + 1) / 2 x (h + 1) / 2 chroma planes.
    static size_t FrameBytes(int width, int height);

    // Copies a frame into a free buffer and queues it. Returns true when the caller must post
    // one presentation (one posted Take per waiting frame; no post when the frame replaced a
    // waiting one). A frame whose data is shorter than its size needs, or whose sides are
    // outside 1..maxSide, is not queued (false).
    bool Push(const uint8_t* data, int size, int width, int height, ESFColorMatrix matrix,
              ESFColorRange range, int number, int maxSide);
    // GUI thread: the oldest waiting frame, which stays untouched until the next Take or Clear;
    // null when none waits (it was replaced or cleared).
    const SFQueuedFrame* Take();
    // Drops every waiting frame and the drawn one (after the player has stopped).
    void Clear();

    int Waiting() const;
    int Dropped() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<SFQueuedFrame>> m_free;
    std::deque<std::unique_ptr<SFQueuedFrame>> m_waiting;
    std::unique_ptr<SFQueuedFrame> m_drawing;
    int m_posted = 0;  // presentations posted and not yet run
    int m_dropped = 0;
};

}  // namespace SF_SOFT_BASE
