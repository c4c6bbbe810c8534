#include "video/SFFrameQueue.h"

#include <algorithm>
#include <cstring>

namespace SF_SOFT_BASE {

size_t CSFFrameQueue::FrameBytes(int width, int height) {
    const size_t chroma = static_cast<size_t>((width + 1) / 2) * ((height + 1) / 2);
    return static_cast<size_t>(width) * height + 2 * chroma;
}

bool CSFFrameQueue::Push(const uint8_t* data, int size, int width, int height,
                         ESFColorMatrix matrix, ESFColorRange range, int number, int maxSide) {
    if (data == nullptr || width < 1 || height < 1 || width > maxSide || height > maxSide) {
        return false;
    }
    const size_t bytes = FrameBytes(width, height);
    if (size < 0 || static_cast<size_t>(size) < bytes) {
        return false;
    }
    std::unique_ptr<SFQueuedFrame> frame;
    {
        std::lock_guard lock(m_mutex);
        if (!m_free.empty()) {
            frame = std::move(m_free.back());
            m_free.pop_back();
        }
    }
    if (!frame) {
        frame = std::make_unique<SFQueuedFrame>();
    }
    frame->data.resize(bytes);  // keeps its memory while the size stays the same
    std::memcpy(frame->data.data(), data, bytes);
    frame->width = width;
    frame->height = height;
    frame->matrix = matrix;
    frame->range = range;
    frame->number = number;

    std::lock_guard lock(m_mutex);
    if (static_cast<int>(m_waiting.size()) == kMaxWaiting) {
        m_free.push_back(std::move(m_waiting.front()));
        m_waiting.pop_front();
        ++m_dropped;
    }
    m_waiting.push_back(std::move(frame));
    if (m_posted < static_cast<int>(m_waiting.size())) {
        ++m_posted;
        return true;
    }
    return false;
}

const SFQueuedFrame* CSFFrameQueue::Take() {
    std::lock_guard lock(m_mutex);
    m_posted = std::max(0, m_posted - 1);
    if (m_drawing) {
        m_free.push_back(std::move(m_drawing));
    }
    if (m_waiting.empty()) {
        return nullptr;
    }
    m_drawing = std::move(m_waiting.front());
    m_waiting.pop_front();
    return m_drawing.get();
}

void CSFFrameQueue::Clear() {
    std::lock_guard lock(m_mutex);
    m_waiting.clear();
    m_drawing.reset();
    m_free.clear();
    m_posted = 0;  // presentations still queued find nothing and do nothing
}

int CSFFrameQueue::Waiting() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_waiting.size());
}

int CSFFrameQueue::Dropped() const {
    std::lock_guard lock(m_mutex);
    return m_dropped;
}

}  // namespace SF_SOFT_BASE
