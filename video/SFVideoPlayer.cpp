#include "video/SFVideoPlayer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>

#include "framework/os/SFAppDir.h"
#include "video/SFPacingClock.h"
#include "video/SFPlayerThread.h"
#include "video/SFVideoDecoder.h"
#include "video/SFVideoLog.h"

namespace SF_SOFT_BASE {

namespace {

// A pass that delivered no frame waits this long before reporting the end, so that a file that
// cannot be decoded is not rewound in a busy loop.
constexpr auto kEmptyPassDelay = std::chrono::milliseconds(500);

std::string Resolve(const std::string& name) {
    if (name.empty() || name.front() == '/')
        return name;
    return ApplicationDirectory() + "/" + name;
}

}  // namespace

// The playback pass the decoding thread runs: pictures from the decoder, paced by the clock,
// handed to the callbacks; the shell starts and ends it. Fields below `thread` belong to the
// decoding thread while it runs and to the caller of Open/Close otherwise (the shell's join
// orders the two).
struct CSFVideoPlayer::Impl {
    explicit Impl(int p) : port(p) {}

    const int port;
    CSFPlayerThread thread{[this] { PlayPass(); }};

    // Set from any thread, read by the decoding thread when it calls back.
    std::mutex callbackMutex;
    SFDecodeCallback decodeCallback = nullptr;
    void* decodeUser = nullptr;
    SFFileEndCallback endCallback = nullptr;
    void* endUser = nullptr;
    std::atomic<bool> realTime{true};
    std::atomic<int> playedSeconds{0};

    CSFVideoDecoder decoder{thread.StopFlag()};
    CSFPacingClock clock;
    int frameNumber = 0;
    int deliveredInPass = 0;
    // The picture in the decoder's planes that a stop interrupted before it was shown.
    bool pendingValid = false;
    SFDecodedPicture pending;

    // Runs with no decoding thread (inside the shell's End).
    bool Load(const std::string* fileName) {
        decoder.Close();
        playedSeconds = 0;
        pendingValid = false;
        deliveredInPass = 0;
        if (!fileName || !decoder.Open(Resolve(*fileName)))
            return false;
        frameNumber = 0;
        clock.Restart();
        return true;
    }

    bool TakeSeek() {
        double position;
        if (!thread.TakeSeek(position))
            return false;
        decoder.Seek(position);
        clock.Restart();
        pendingValid = false;
        deliveredInPass = 0;
        return true;
    }

    void PlayPass() {
        if (pendingValid && !thread.SeekPending()) {
            clock.Restart();  // resumed: show it now and pace from here
            const SFDecodedPicture again = pending;
            Emit(again);
        }
        while (!thread.StopRequested()) {
            TakeSeek();
            SFDecodedPicture picture;
            const ESFDecodeStep step = decoder.Next(picture);
            if (step == ESFDecodeStep::Picture)
                Emit(picture);
            else if (step == ESFDecodeStep::End && !thread.StopRequested() && !thread.SeekPending())
                EndOfFile();
        }
    }

    // Sleeps until the picture's time. False when a stop or a seek interrupted the wait.
    bool Pace(int64_t us) {
        const auto due = clock.Due(us, CSFPacingClock::Clock::now());
        return !due || !realTime || thread.WaitUntil(*due);
    }

    // Waits for the picture's time and hands the planes to the callback. A stop during the wait
    // keeps the picture for the next Play (the planes stay untouched until then); a seek drops it.
    void Emit(const SFDecodedPicture& shown) {
        pendingValid = false;
        if (!Pace(shown.us)) {
            if (thread.StopRequested() && !thread.SeekPending()) {
                pendingValid = true;
                pending = shown;
            }
            return;
        }
        SFDecodeCallback callback;
        void* user;
        {
            std::lock_guard lock(callbackMutex);
            callback = decodeCallback;
            user = decodeUser;
        }
        playedSeconds = int(std::max<int64_t>(shown.us, 0) / 1000000);
        ++deliveredInPass;
        const int number = frameNumber++;
        const auto planes = decoder.Planes();
        if (callback)
            callback(port, planes.data(), int(planes.size()), shown.width, shown.height,
                     int(shown.us / 1000), shown.matrix, shown.range, number, user);
    }

    // Reports the end once the last frame has had its time on screen, so that a rewind does not
    // cut it short, and waits for a new position or a stop.
    void EndOfFile() {
        if (deliveredInPass == 0) {
            thread.WaitForStop(kEmptyPassDelay);
        } else if (realTime) {
            if (const auto due = clock.Peek(decoder.NextUs(), CSFPacingClock::Clock::now()))
                thread.WaitUntil(*due);
        }
        if (thread.StopRequested())
            return;
        deliveredInPass = 0;
        SFFileEndCallback callback;
        void* user;
        {
            std::lock_guard lock(callbackMutex);
            callback = endCallback;
            user = endUser;
        }
        if (callback && !thread.SeekPending())
            callback(port, user);
        thread.WaitForSeekOrStop();
    }
};

CSFVideoPlayer::CSFVideoPlayer(int port) : m_impl(std::make_unique<Impl>(port)) {
    ffmpeg::RouteLogging();
}

CSFVideoPlayer::~CSFVideoPlayer() {
    if (m_impl->thread.OnDecodingThread()) {
        // Destroyed from its own callback: the thread cannot join itself and still uses its
        // state after the callback returns, so the state is left to it (a bounded leak) rather
        // than freed under it.
        qCInfo(lcVideo) << "player destroyed inside its own callback";
        m_impl->thread.Abandon();
        (void)m_impl.release();
        return;
    }
    Close();
}

int CSFVideoPlayer::Open(const std::string& fileName) {
    if (m_impl->thread.OnDecodingThread())
        return 0;
    // The previous file is closed and the new one opened as one step: Play refuses until done.
    bool opened = false;
    m_impl->thread.End([&] { return opened = m_impl->Load(&fileName); });
    return opened ? 1 : 0;
}

void CSFVideoPlayer::SetDecodeCallback(SFDecodeCallback callback, void* user) {
    std::lock_guard lock(m_impl->callbackMutex);
    m_impl->decodeCallback = callback;
    m_impl->decodeUser = user;
}

void CSFVideoPlayer::SetFileEndCallback(SFFileEndCallback callback, void* user) {
    std::lock_guard lock(m_impl->callbackMutex);
    m_impl->endCallback = callback;
    m_impl->endUser = user;
}

int CSFVideoPlayer::Play() {
    return m_impl->thread.Start() ? 1 : 0;
}

int CSFVideoPlayer::PlayedTime() const {
    return m_impl->playedSeconds.load();
}

int CSFVideoPlayer::SetPosition(float position) {
    if (!(position >= 0.0f && position <= 1.0f))
        return 0;
    return m_impl->thread.RequestSeek(position) ? 1 : 0;
}

int CSFVideoPlayer::Stop() {
    m_impl->thread.Stop();
    return 1;
}

int CSFVideoPlayer::Close() {
    if (m_impl->thread.OnDecodingThread()) {
        qCInfo(lcVideo) << "close refused inside a player callback";
        return 0;
    }
    return m_impl->thread.End([this] { return m_impl->Load(nullptr); }) ? 1 : 0;
}

void CSFVideoPlayer::SetShownSize(int width, int height) {
    m_impl->decoder.SetShownSize(width, height);
}

void CSFVideoPlayer::SetRealTime(bool realTime) {
    m_impl->realTime = realTime;
}

bool CSFVideoPlayer::IsOpen() const {
    return m_impl->thread.Loaded();
}

// The port table. Operations take a shared reference to the player and release the table lock
// before calling it, so a callback may query its own port while another thread stops it.
namespace {

constexpr int kMaxPorts = 16;

struct PortTable {
    std::mutex mutex;
    std::array<std::shared_ptr<CSFVideoPlayer>, kMaxPorts> players;
};

PortTable& Ports() {
    static PortTable table;
    return table;
}

std::shared_ptr<CSFVideoPlayer> PlayerOf(int port) {
    if (port < 0 || port >= kMaxPorts)
        return nullptr;
    PortTable& t = Ports();
    std::lock_guard lock(t.mutex);
    return t.players[size_t(port)];
}

}  // namespace

int SFPlay_GetPort(int* port) {
    if (!port)
        return 0;
    PortTable& t = Ports();
    std::lock_guard lock(t.mutex);
    for (int i = 0; i < kMaxPorts; ++i) {
        if (!t.players[size_t(i)]) {
            t.players[size_t(i)] = std::make_shared<CSFVideoPlayer>(i);
            *port = i;
            return 1;
        }
    }
    return 0;
}

int SFPlay_FreePort(int port) {
    std::shared_ptr<CSFVideoPlayer> player;
    if (port >= 0 && port < kMaxPorts) {
        PortTable& t = Ports();
        std::lock_guard lock(t.mutex);
        player = std::move(t.players[size_t(port)]);
    }
    if (!player)
        return 0;
    player->Close();
    return 1;
}

int SFPlay_OpenFile(int port, const char* fileName) {
    const auto player = PlayerOf(port);
    return player && fileName ? player->Open(fileName) : 0;
}

int SFPlay_SetDecodeCallback(int port, SFDecodeCallback callback, void* user) {
    const auto player = PlayerOf(port);
    if (!player)
        return 0;
    player->SetDecodeCallback(callback, user);
    return 1;
}

int SFPlay_SetFileEndCallback(int port, SFFileEndCallback callback, void* user) {
    const auto player = PlayerOf(port);
    if (!player)
        return 0;
    player->SetFileEndCallback(callback, user);
    return 1;
}

int SFPlay_Play(int port, intptr_t window) {
    const auto player = PlayerOf(port);
    return player && window == -1 ? player->Play() : 0;
}

int SFPlay_GetPlayedTime(int port) {
    const auto player = PlayerOf(port);
    return player ? player->PlayedTime() : 0;
}

int SFPlay_SetPlayPos(int port, float position) {
    const auto player = PlayerOf(port);
    return player ? player->SetPosition(position) : 0;
}

int SFPlay_SetShownSize(int port, int width, int height) {
    const auto player = PlayerOf(port);
    if (!player)
        return 0;
    player->SetShownSize(width, height);
    return 1;
}

int SFPlay_Stop(int port) {
    const auto player = PlayerOf(port);
    return player ? player->Stop() : 0;
}

int SFPlay_CloseFile(int port) {
    const auto player = PlayerOf(port);
    return player ? player->Close() : 0;
}

}  // namespace SF_SOFT_BASE
