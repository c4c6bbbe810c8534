#pragma once
// CSFTimer: a callback timer of the GUI thread. Create, start, stop and destroy it on the thread
// it lives on; the callback runs there with the Qt timer id and the user pointer. The callback
// may Stop the timer or Start it again (with another callback).
#include <QObject>

#include <functional>

namespace OrvexBase {

class CSFTimer : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<void(int timerId, void* user)>;

    explicit CSFTimer(QObject* parent = nullptr);
    ~CSFTimer() override;

    // Starts a timer firing every intervalMs and returns its id (0 when Qt refused it). A timer
    // this object was already running is stopped first, so one object never has two.
    int Start(int intervalMs, Callback callback, void* user);
    // Stops the running timer; does nothing when none runs.
    void Stop();
    int TimerId() const { return m_timerId; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    Callback m_callback;
    void* m_user = nullptr;
    int m_timerId = 0;
};

}  // namespace OrvexBase
