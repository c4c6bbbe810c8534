// Message loops driven by both controls: the Qt-driven one on the GUI thread (ML_MAIN) and the
// default one on a CSFThreadEx_Qt worker. The same cases run against both pumps; cases that
// only one of them has follow. Every wait has a deadline, so a lost wake-up fails instead of
// hanging.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/SFMessageLoop.h"
#include "framework/SFThreadEx.h"
#include "framework/SFTimer.h"
#include "framework/os/SFThread.h"

using namespace OrvexBase;
using SF_SOFT_BASE::CSFThread;

namespace {

int g_argc = 1;
char g_arg0[] = "framework_message_loop_test";
char* g_argv[] = {g_arg0, nullptr};

// Records what ran, where, in which order.
class CProbe {
public:
    void Note(int value) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_values.push_back(value);
        m_threads.push_back(CSFThread::GetCurrentThreadID());
        ++m_count;
    }
    void Block(std::shared_ptr<SF_SOFT_BASE::CSFEvent> gate) {
        gate->Wait(10000);
        Note(0);
    }
    std::vector<int> Values() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_values;
    }
    std::vector<std::uint32_t> Threads() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_threads;
    }
    std::atomic<int> m_count{0};

private:
    std::mutex m_mutex;
    std::vector<int> m_values;
    std::vector<std::uint32_t> m_threads;
};

// The Qt-driven loop registered as ML_MAIN; the test thread is the GUI thread.
class QtPump {
public:
    void SetUp() {
        m_app = std::make_unique<QCoreApplication>(g_argc, g_argv);
        m_loop = CSFMessageLoop::CreateMessageLoop(0);
        m_loop->SetThreadId(CSFThread::GetCurrentThreadID());
        CSFMessageLoopManager::GetInstance()->AddMessageLoop(m_loop, ML_MAIN);
    }
    void TearDown() {
        CSFMessageLoopManager::GetInstance()->RemoveMessageLoop(ML_MAIN);
        m_loop.reset();
        m_app.reset();
    }
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }
    CSFMessageControl_Qt* Control() {
        return dynamic_cast<CSFMessageControl_Qt*>(m_loop->GetMessageControl().get());
    }
    std::shared_ptr<CSFMessageLoop> m_loop;

private:
    std::unique_ptr<QCoreApplication> m_app;
};

// The default control on a worker thread.
class WorkerPump {
public:
    void SetUp() {
        m_thread = CSFThreadEx_Qt::Create({CSFMessageLoop::kDefaultControl, 0});
        ASSERT_EQ(m_thread->Start(), 0);
        m_loop = m_thread->GetMessageLoop();
    }
    void TearDown() {
        m_loop->QuitAndWait();
        m_loop.reset();
        m_thread.reset();
    }
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    std::shared_ptr<CSFMessageLoop> m_loop;

private:
    std::shared_ptr<CSFThreadEx_Qt> m_thread;
};

template <class Pump>
class BothPumps : public ::testing::Test {
protected:
    void SetUp() override { m_pump.SetUp(); }
    void TearDown() override { m_pump.TearDown(); }
    void Post(int value) { m_pump.m_loop->PostTask(SFCreateTask(m_probe, &CProbe::Note, value)); }
    void PostIdle(int value) {
        m_pump.m_loop->PostIdleTask(SFCreateTask(m_probe, &CProbe::Note, value));
    }
    bool WaitForCount(int count) {
        return m_pump.WaitUntil([this, count] { return m_probe->m_count.load() >= count; });
    }
    Pump m_pump;
    std::shared_ptr<CProbe> m_probe = std::make_shared<CProbe>();
};

using Pumps = ::testing::Types<QtPump, WorkerPump>;
class PumpNames {
public:
    template <class T>
    static std::string GetName(int) {
        return std::is_same_v<T, QtPump> ? "Qt" : "Worker";
    }
};
TYPED_TEST_SUITE(BothPumps, Pumps, PumpNames);

TYPED_TEST(BothPumps, TasksRunInPostingOrderOnTheLoopThread) {
    for (int i = 1; i <= 50; ++i) {
        this->Post(i);
    }
    ASSERT_TRUE(this->WaitForCount(50));
    std::vector<int> expected;
    for (int i = 1; i <= 50; ++i) {
        expected.push_back(i);
    }
    EXPECT_EQ(this->m_probe->Values(), expected);
    for (std::uint32_t id : this->m_probe->Threads()) {
        EXPECT_EQ(id, this->m_pump.m_loop->GetThreadId());
    }
}

TYPED_TEST(BothPumps, IdleTasksRunOnlyWhenNoOrdinaryTaskWaits) {
    // A gate task holds the loop until everything is queued, so the order is decided by the
    // loop, not by the race with the poster.
    auto gate = std::make_shared<SF_SOFT_BASE::CSFEvent>();
    ASSERT_EQ(gate->Create(false, true), 1);
    this->m_pump.m_loop->PostTask(SFCreateTask(this->m_probe, &CProbe::Block, gate));
    this->PostIdle(100);
    this->Post(1);
    this->PostIdle(101);
    this->Post(2);
    this->Post(3);
    gate->Set();
    ASSERT_TRUE(this->WaitForCount(6));
    EXPECT_EQ(this->m_probe->Values(), (std::vector<int>{0, 1, 2, 3, 100, 101}));
}

TYPED_TEST(BothPumps, PostsFromTwoThreadsRunInTheOrderTheyEnteredTheQueue) {
    auto loop = this->m_pump.m_loop;
    auto probe = this->m_probe;
    std::thread([loop, probe] { loop->PostTask(SFCreateTask(probe, &CProbe::Note, 1)); }).join();
    std::thread([loop, probe] { loop->PostTask(SFCreateTask(probe, &CProbe::Note, 2)); }).join();
    ASSERT_TRUE(this->WaitForCount(2));
    EXPECT_EQ(this->m_probe->Values(), (std::vector<int>{1, 2}));
}

TYPED_TEST(BothPumps, TenThousandCrossThreadPostsAllRun) {
    constexpr int kProducers = 4;
    constexpr int kPerProducer = 2500;
    auto loop = this->m_pump.m_loop;
    auto probe = this->m_probe;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([loop, probe, p] {
            for (int i = 0; i < kPerProducer; ++i) {
                loop->PostTask(SFCreateTask(probe, &CProbe::Note, p * kPerProducer + i));
                if (i % 97 == 0) {
                    std::this_thread::yield();  // let the loop go idle now and then
                }
            }
        });
    }
    const bool done = this->WaitForCount(kProducers * kPerProducer);
    for (auto& t : producers) {
        t.join();
    }
    ASSERT_TRUE(done) << "ran " << this->m_probe->m_count.load();
    std::vector<int> last(kProducers, -1);
    for (int v : this->m_probe->Values()) {
        EXPECT_GT(v, last[v / kPerProducer]);
        last[v / kPerProducer] = v;
    }
}

TYPED_TEST(BothPumps, AnEmptyTaskIsIgnored) {
    this->m_pump.m_loop->PostTask(nullptr);
    this->m_pump.m_loop->PostIdleTask(nullptr);
    this->Post(1);
    ASSERT_TRUE(this->WaitForCount(1));
    EXPECT_EQ(this->m_probe->Values(), (std::vector<int>{1}));
}

// Qt-driven loop only.
class QtLoop : public ::testing::Test {
protected:
    void SetUp() override { m_pump.SetUp(); }
    void TearDown() override { m_pump.TearDown(); }
    QtPump m_pump;
};

// Posts itself an event on every delivery, so Qt always has other work queued.
class CPing : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++m_count;
            if (m_running) {
                QCoreApplication::postEvent(this, new QEvent(QEvent::User));
            }
            return true;
        }
        return QObject::event(e);
    }
    std::atomic<int> m_count{0};
    bool m_running = true;
};

TEST_F(QtLoop, AHundredTasksFromAWorkerRunOnePerTickWithEventsBetween) {
    CPing ping;
    QCoreApplication::postEvent(&ping, new QEvent(QEvent::User));
    struct CFrame {
        CPing* ping;
        std::vector<int> order;
        std::vector<int> pingsSeen;
        std::vector<std::uint32_t> threads;
        void Draw(int i) {
            order.push_back(i);
            pingsSeen.push_back(ping->m_count.load());
            threads.push_back(CSFThread::GetCurrentThreadID());
        }
    };
    auto frame = std::make_shared<CFrame>();
    frame->ping = &ping;
    std::thread worker([frame] {
        auto loop = CSFMessageLoopManager::GetInstance()->GetMessageLoop(ML_MAIN);
        for (int i = 0; i < 100; ++i) {
            loop->PostTask(SFCreateTask(frame, &CFrame::Draw, i));
        }
    });
    worker.join();  // all 100 are queued before the GUI thread runs any
    ASSERT_TRUE(m_pump.WaitUntil([&] { return frame->order.size() == 100; }));
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(frame->order[i], i);
        EXPECT_EQ(frame->threads[i], m_pump.m_loop->GetThreadId());
        if (i > 0) {
            EXPECT_GT(frame->pingsSeen[i], frame->pingsSeen[i - 1]) << "no event between " << i;
        }
    }
    ASSERT_TRUE(m_pump.WaitUntil([&] { return !m_pump.Control()->IsTimerActive(); }));
    ping.m_running = false;
    EXPECT_FALSE(m_pump.Control()->IsTimerActive());
}

TEST_F(QtLoop, ATaskPostedBeforeTheEventLoopRunsOnlyOnceItRuns) {
    auto probe = std::make_shared<CProbe>();
    m_pump.m_loop->PostTask(SFCreateTask(probe, &CProbe::Note, 1));
    EXPECT_EQ(probe->m_count.load(), 0);
    ASSERT_TRUE(m_pump.WaitUntil([&] { return probe->m_count.load() == 1; }));
}

// Qt itself never fires a timer again from inside that timer's own event, so the plain case
// is safe already; the second row stops the timer inside the task, as a task that quits its loop
// and then shows a dialog does, so a wake-up in the nested loop starts a fresh timer whose ticks
// the control must hold back.
class QtNestedLoop : public QtLoop, public ::testing::WithParamInterface<bool> {};

TEST_P(QtNestedLoop, ANestedEventLoopInsideATaskRunsNoOtherTaskUntilItReturns) {
    const bool stopTimerInTask = GetParam();
    CPing ping;
    struct CDialogOwner {
        CPing* ping;
        std::vector<std::string> log;
        bool inModal = false;
        bool nested = false;
        int pingsDuringModal = 0;
        CSFMessageControl* control = nullptr;
        void ShowModal() {
            if (control != nullptr) {
                control->Quit();
            }
            log.push_back("modal-begin");
            inModal = true;
            const int before = ping->m_count.load();
            QCoreApplication::postEvent(ping, new QEvent(QEvent::User));
            QEventLoop modal;  // what a modal dialog's exec() does
            QTimer::singleShot(100, &modal, &QEventLoop::quit);
            modal.exec();
            pingsDuringModal = ping->m_count.load() - before;
            inModal = false;
            log.push_back("modal-end");
        }
        void Next(int i) {
            nested = nested || inModal;
            log.push_back("next" + std::to_string(i));
        }
    };
    auto owner = std::make_shared<CDialogOwner>();
    owner->ping = &ping;
    owner->control = stopTimerInTask ? m_pump.Control() : nullptr;
    m_pump.m_loop->PostTask(SFCreateTask(owner, &CDialogOwner::ShowModal));
    if (!stopTimerInTask) {
        m_pump.m_loop->PostTask(SFCreateTask(owner, &CDialogOwner::Next, 1));
    }
    // Posted from another thread while the modal loop runs.
    std::thread late([loop = m_pump.m_loop, owner] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        loop->PostTask(SFCreateTask(owner, &CDialogOwner::Next, 2));
    });
    const size_t expected = stopTimerInTask ? 3 : 4;
    ASSERT_TRUE(m_pump.WaitUntil([&] { return owner->log.size() == expected; }));
    late.join();
    ping.m_running = false;
    EXPECT_FALSE(owner->nested);
    if (stopTimerInTask) {
        EXPECT_EQ(owner->log, (std::vector<std::string>{"modal-begin", "modal-end", "next2"}));
    } else {
        EXPECT_EQ(owner->log,
                  (std::vector<std::string>{"modal-begin", "modal-end", "next1", "next2"}));
    }
    EXPECT_GT(owner->pingsDuringModal, 0);  // the modal loop itself kept working
    ASSERT_TRUE(m_pump.WaitUntil([&] { return !m_pump.Control()->IsTimerActive(); }));
}

INSTANTIATE_TEST_SUITE_P(Timer, QtNestedLoop, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& row) {
                             return std::string(row.param ? "StoppedInTask" : "Running");
                         });

TEST_F(QtLoop, QuitStopsTheTimerAndALaterPostStartsItAgain) {
    auto probe = std::make_shared<CProbe>();
    ASSERT_TRUE(m_pump.WaitUntil([&] { return !m_pump.Control()->IsTimerActive(); }));
    m_pump.m_loop->PostTask(SFCreateTask(probe, &CProbe::Note, 1));
    m_pump.m_loop->QuitAndWait();  // no worker thread: returns at once
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(m_pump.Control()->IsTimerActive());  // the wake-up came after Quit
    m_pump.Control()->Quit();
    EXPECT_FALSE(m_pump.Control()->IsTimerActive());
    EXPECT_EQ(probe->m_count.load(), 0);
    m_pump.m_loop->PostTask(SFCreateTask(probe, &CProbe::Note, 2));
    ASSERT_TRUE(m_pump.WaitUntil([&] { return probe->m_count.load() == 2; }));
    EXPECT_EQ(probe->Values(), (std::vector<int>{1, 2}));
}

TEST_F(QtLoop, QuitFromAnotherThreadStopsTheTimer) {
    auto probe = std::make_shared<CProbe>();
    m_pump.m_loop->PostTask(SFCreateTask(probe, &CProbe::Note, 1));
    m_pump.m_loop->PostTask(SFCreateTask(probe, &CProbe::Note, 2));
    QCoreApplication::sendPostedEvents();  // the wake-ups: the timer runs, no tick yet
    ASSERT_TRUE(m_pump.Control()->IsTimerActive());
    std::thread([control = m_pump.m_loop->GetMessageControl()] { control->Quit(); }).join();
    QCoreApplication::sendPostedEvents();  // delivers the stop; fires no timer
    EXPECT_FALSE(m_pump.Control()->IsTimerActive());
    EXPECT_EQ(probe->m_count.load(), 0);
    m_pump.m_loop->PostTask(SFCreateTask(probe, &CProbe::Note, 3));  // a later post resumes
    ASSERT_TRUE(m_pump.WaitUntil([&] { return probe->m_count.load() == 3; }));
    EXPECT_EQ(probe->Values(), (std::vector<int>{1, 2, 3}));
}

TEST_F(QtLoop, ALoopThatIsGoneLeavesItsControlQuiet) {
    auto control = m_pump.m_loop->GetMessageControl();
    CSFMessageLoopManager::GetInstance()->RemoveMessageLoop(ML_MAIN);
    m_pump.m_loop.reset();
    control->ScheduleWork();
    auto* qt = dynamic_cast<CSFMessageControl_Qt*>(control.get());
    QtPump waiter;
    ASSERT_TRUE(waiter.WaitUntil([&] { return !qt->IsTimerActive(); }, 5000));
    control->Run();                                        // nothing to run, no crash
    m_pump.m_loop = CSFMessageLoop::CreateMessageLoop(0);  // for TearDown
}

// The worker thread and the loop manager.
TEST(CSFThreadEx_Qt, AfterStartTheLoopHasTheWorkerThreadId) {
    auto worker = CSFThreadEx_Qt::Create({CSFMessageLoop::kDefaultControl, 0});
    auto loop = worker->GetMessageLoop();
    ASSERT_TRUE(loop);
    EXPECT_EQ(loop->GetThreadId(), 0u);
    ASSERT_EQ(worker->Start(), 0);
    const std::uint32_t id = loop->GetThreadId();
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, CSFThread::GetCurrentThreadID());
    EXPECT_EQ(worker->Start(), 0);  // a second Start neither blocks nor starts another thread
    EXPECT_EQ(loop->GetThreadId(), id);

    CSFMessageLoopManager::GetInstance()->AddMessageLoop(loop, ML_HELPER);
    EXPECT_EQ(CSFMessageLoopManager::GetInstance()->GetMessageLoop(ML_HELPER), loop);

    auto probe = std::make_shared<CProbe>();
    loop->PostTask(SFCreateTask(probe, &CProbe::Note, 1));
    WorkerPump waiter;
    ASSERT_TRUE(waiter.WaitUntil([&] { return probe->m_count.load() == 1; }));
    EXPECT_EQ(probe->Threads()[0], id);

    worker->Stop();
    ASSERT_TRUE(loop->GetThreadHandle());
    EXPECT_EQ(loop->GetThreadHandle()->Wait(10000), SF_SOFT_BASE::SF_WAIT_OBJECT_0);
    CSFMessageLoopManager::GetInstance()->RemoveMessageLoop(ML_HELPER);
}

TEST(CSFThreadEx_Qt, TheRunningThreadKeepsItsObjectAlive) {
    auto worker = CSFThreadEx_Qt::Create({CSFMessageLoop::kDefaultControl, 0});
    ASSERT_EQ(worker->Start(), 0);
    std::weak_ptr<CSFThreadEx_Qt> watch = worker;
    auto loop = worker->GetMessageLoop();
    worker.reset();
    EXPECT_FALSE(watch.expired());
    auto probe = std::make_shared<CProbe>();
    loop->PostTask(SFCreateTask(probe, &CProbe::Note, 7));
    WorkerPump waiter;
    ASSERT_TRUE(waiter.WaitUntil([&] { return probe->m_count.load() == 1; }));
    loop->QuitAndWait();
    ASSERT_TRUE(waiter.WaitUntil([&] { return watch.expired(); }));
}

TEST(CSFThreadEx_Qt, QuitAndWaitFromInsideTheLoopDoesNotDeadlock) {
    auto worker = CSFThreadEx_Qt::Create({CSFMessageLoop::kDefaultControl, 0});
    ASSERT_EQ(worker->Start(), 0);
    auto loop = worker->GetMessageLoop();
    struct CQuitter {
        std::shared_ptr<CSFMessageLoop> loop;
        std::atomic<bool> returned{false};
        void Quit() {
            loop->QuitAndWait();
            returned = true;
        }
    };
    auto quitter = std::make_shared<CQuitter>();
    quitter->loop = loop;
    loop->PostTask(SFCreateTask(quitter, &CQuitter::Quit));
    EXPECT_EQ(loop->GetThreadHandle()->Wait(10000), SF_SOFT_BASE::SF_WAIT_OBJECT_0);
    EXPECT_TRUE(quitter->returned.load());
    quitter->loop.reset();
}

TEST(CSFMessageLoopManager, RegisteringAgainReplacesAndUnknownIdsAreEmpty) {
    auto manager = CSFMessageLoopManager::GetInstance();
    EXPECT_EQ(manager, CSFMessageLoopManager::GetInstance());
    auto first = CSFMessageLoop::CreateMessageLoop(7);  // no control
    auto second = CSFMessageLoop::CreateMessageLoop(7);
    EXPECT_FALSE(first->GetMessageControl());
    manager->AddMessageLoop(first, ML_TEST);
    manager->AddMessageLoop(second, ML_TEST);
    EXPECT_EQ(manager->GetMessageLoop(ML_TEST), second);
    EXPECT_FALSE(manager->GetMessageLoop(ML_PLAY));
    manager->RemoveMessageLoop(ML_TEST);
    EXPECT_FALSE(manager->GetMessageLoop(ML_TEST));
    EXPECT_STREQ(SFModuleName(ML_MAIN), "ML_MAIN");
    EXPECT_STREQ(SFModuleName(ML_EXPORT), "ML_EXPORT");
    EXPECT_STREQ(SFModuleName(0), "UNKNOWN");
    EXPECT_STREQ(SFModuleName(7), "UNKNOWN");
}

// The callback timer of the GUI thread.
TEST(CSFTimer, StartStopAndRestart) {
    QCoreApplication app(g_argc, g_argv);
    CSFTimer timer;
    timer.Stop();  // never started: nothing happens
    EXPECT_EQ(timer.TimerId(), 0);
    int calls = 0;
    int seenId = -1;
    void* seenUser = nullptr;
    int user = 5;
    const int id = timer.Start(
        1,
        [&](int timerId, void* u) {
            ++calls;
            seenId = timerId;
            seenUser = u;
        },
        &user);
    ASSERT_NE(id, 0);
    QtPump waiter;
    ASSERT_TRUE(waiter.WaitUntil([&] { return calls >= 3; }, 10000));
    EXPECT_EQ(seenId, id);
    EXPECT_EQ(seenUser, &user);
    const int second = timer.Start(
        1, [&](int, void*) { calls = -1000; }, nullptr);
    EXPECT_NE(second, 0);
    ASSERT_TRUE(waiter.WaitUntil([&] { return calls == -1000; }, 10000));
    timer.Stop();
    calls = 0;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(calls, 0);
}

// What the restarting callback below sees after its own Start; read through globals, because
// the callback's captures are exactly what is in question.
std::weak_ptr<int> g_restartWatch;
int g_restartAlive = -1;
int g_restartSecondCalls = 0;

TEST(CSFTimer, ACallbackMayStartItsTimerAgain) {
    QCoreApplication app(g_argc, g_argv);
    CSFTimer timer;
    auto captured = std::make_shared<int>(7);
    g_restartWatch = captured;
    g_restartAlive = -1;
    g_restartSecondCalls = 0;
    CSFTimer* self = &timer;
    timer.Start(
        1,
        [self, captured](int, void*) {
            self->Start(
                1, [](int, void*) { ++g_restartSecondCalls; }, nullptr);
            // The first callback is still running: what it captured must still be there.
            g_restartAlive = g_restartWatch.expired() ? 0 : 1;
        },
        nullptr);
    captured.reset();  // the callback holds the only handle now
    QtPump waiter;
    ASSERT_TRUE(waiter.WaitUntil([] { return g_restartSecondCalls >= 2; }, 10000));
    EXPECT_EQ(g_restartAlive, 1);
    EXPECT_TRUE(g_restartWatch.expired());  // released once the first callback returned
    timer.Stop();
}

TEST(CSFMessageControl_Qt, ApplicationActivationIsLoggedAndNotConsumed) {
    QCoreApplication app(g_argc, g_argv);
    static std::vector<std::string> lines;
    lines.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("tessaro.framework.debug=true"));
    QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
            lines.push_back(message.toStdString());
        });
    auto loop = CSFMessageLoop::CreateMessageLoop(0);
    QEvent activate(QEvent::ApplicationActivate);
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(&app, &activate);
    QCoreApplication::sendEvent(&app, &deactivate);
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    EXPECT_EQ(lines, (std::vector<std::string>{"ApplicationActivate == true",
                                               "ApplicationActivate == false"}));
}

}  // namespace
