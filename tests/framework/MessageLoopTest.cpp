// Message loops driven by both controls: the Qt-driven one on the GUI thread (ML_MAIN) and the
// default one on a CSFThreadEx_Qt worker (ML_TEST). The same cases run against both pumps; the
// cases only one of them has follow. Every wait has a deadline, so a lost wake-up fails instead
// of hanging.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <numeric>
#include <set>
#include <thread>
#include <vector>

#include "TaskProbe.h"
#include "framework/SFMessageLoop.h"
#include "framework/SFPost.h"
#include "framework/SFThreadEx.h"
#include "framework/SFTimer.h"

using namespace OrvexBase;
using SF_SOFT_BASE::CSFThread;
using taskprobe::CProbe;
using taskprobe::WaitUntil;

namespace {

int g_argc = 1;
char g_arg0[] = "framework_message_loop_test";
char* g_argv[] = {g_arg0, nullptr};

// The Qt-driven loop registered as ML_MAIN; the test thread is the GUI thread.
struct QtPump {
    static constexpr std::int32_t kModule = ML_MAIN;
    void SetUp() {
        app = std::make_unique<QCoreApplication>(g_argc, g_argv);
        loop = CSFMessageLoop::CreateMessageLoop(CSFMessageLoop::kQtControl);
        loop->SetThreadId(CSFThread::GetCurrentThreadID());
    }
    void TearDown() {
        loop.reset();  // the Qt control dies while Qt still runs
        app.reset();
    }
    CSFMessageControl_Qt* Control() {
        return dynamic_cast<CSFMessageControl_Qt*>(loop->GetMessageControl().get());
    }
    std::unique_ptr<QCoreApplication> app;
    std::shared_ptr<CSFMessageLoop> loop;
};

// The default control on a worker thread, registered as ML_TEST.
struct WorkerPump {
    static constexpr std::int32_t kModule = ML_TEST;
    void SetUp() {
        thread = CSFThreadEx_Qt::Create({CSFMessageLoop::kDefaultControl, 0});
        ASSERT_EQ(thread->Start(), 0);
        loop = thread->GetMessageLoop();
    }
    void TearDown() { loop->QuitAndWait(); }
    std::shared_ptr<CSFThreadEx_Qt> thread;
    std::shared_ptr<CSFMessageLoop> loop;
};

template <class Pump>
class BothPumps : public ::testing::Test {
protected:
    void SetUp() override {
        m_pump.SetUp();
        CSFMessageLoopManager::GetInstance()->AddMessageLoop(m_pump.loop, Pump::kModule);
    }
    void TearDown() override {
        CSFMessageLoopManager::GetInstance()->RemoveMessageLoop(Pump::kModule);
        m_pump.TearDown();
    }
    void Post(int value) { m_pump.loop->PostTask(SFCreateTask(m_probe, &CProbe::Note, value)); }
    void PostIdle(int value) {
        m_pump.loop->PostIdleTask(SFCreateTask(m_probe, &CProbe::Note, value));
    }
    // Holds the loop in a task until everything is queued, so that the order is decided by
    // the loop, not by the race with the poster.
    std::shared_ptr<SF_SOFT_BASE::CSFEvent> Hold() {
        auto gate = std::make_shared<SF_SOFT_BASE::CSFEvent>();
        EXPECT_EQ(gate->Create(false, true), 1);
        struct CGate {
            void Block(std::shared_ptr<SF_SOFT_BASE::CSFEvent> event) { event->Wait(10000); }
        };
        m_pump.loop->PostTask(SFCreateTask(std::make_shared<CGate>(), &CGate::Block, gate));
        return gate;
    }
    bool WaitForCount(int count) {
        return WaitUntil([this, count] { return m_probe->m_count.load() >= count; });
    }
    Pump m_pump;
    std::shared_ptr<CProbe> m_probe = std::make_shared<CProbe>();
};

using Pumps = ::testing::Types<QtPump, WorkerPump>;  // named 0 (Qt) and 1 (worker)
TYPED_TEST_SUITE(BothPumps, Pumps);

TYPED_TEST(BothPumps, IdleTasksRunOnlyWhenNoOrdinaryTaskWaits) {
    auto gate = this->Hold();
    this->PostIdle(100);
    this->Post(1);
    this->PostIdle(101);
    this->Post(2);
    gate->Set();
    ASSERT_TRUE(this->WaitForCount(4));
    EXPECT_EQ(this->m_probe->Values(), (std::vector<int>{1, 2, 100, 101}));
}

// Each producer's tasks run in its own posting order, all on the loop thread, and none is lost
// (a lost wake-up shows as the deadline passing).
TYPED_TEST(BothPumps, TenThousandCrossThreadPostsAllRunInOrderOnTheLoopThread) {
    constexpr int kProducers = 4;
    constexpr int kPerProducer = 2500;
    this->m_pump.loop->PostTask(nullptr);  // ignored
    this->m_pump.loop->PostIdleTask(nullptr);
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([this, p] {
            for (int i = 0; i < kPerProducer; ++i) {
                this->Post(p * kPerProducer + i);
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
    const std::vector<std::uint32_t> threads = this->m_probe->Threads();
    EXPECT_EQ(std::count(threads.begin(), threads.end(), this->m_pump.loop->GetThreadId()),
              kProducers * kPerProducer);
}

// Qt-driven loop only.
class QtLoop : public BothPumps<QtPump> {};

// Posts itself an event on every delivery, so Qt always has other work queued; notes how many
// tasks the probe, if any, had run by then.
class CPing : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) {
            return QObject::event(e);
        }
        ++m_count;
        if (m_probe != nullptr) {
            m_tasksSeen.insert(m_probe->m_count.load());
        }
        if (m_running) {
            QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        }
        return true;
    }
    std::atomic<int> m_count{0};
    bool m_running = true;
    CProbe* m_probe = nullptr;
    std::set<int> m_tasksSeen;
};

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
        CSFMessageControl* control;
        std::vector<std::string> log;  // a task run inside the modal loop shows between its lines
        int pingsDuringModal = 0;
        void ShowModal() {
            if (control != nullptr) {
                control->Quit();
            }
            log.push_back("modal-begin");
            const int before = ping->m_count.load();
            QCoreApplication::postEvent(ping, new QEvent(QEvent::User));
            QEventLoop modal;  // what a modal dialog's exec() does
            QTimer::singleShot(100, &modal, &QEventLoop::quit);
            modal.exec();
            pingsDuringModal = ping->m_count.load() - before;
            log.push_back("modal-end");
        }
        void Next(int i) { log.push_back("next" + std::to_string(i)); }
    };
    auto owner = std::make_shared<CDialogOwner>(
        CDialogOwner{&ping, stopTimerInTask ? m_pump.Control() : nullptr, {}});
    std::vector<std::string> expected = {"modal-begin", "modal-end", "next2"};
    m_pump.loop->PostTask(SFCreateTask(owner, &CDialogOwner::ShowModal));
    if (!stopTimerInTask) {
        m_pump.loop->PostTask(SFCreateTask(owner, &CDialogOwner::Next, 1));
        expected.insert(expected.begin() + 2, "next1");
    }
    std::thread late([loop = m_pump.loop, owner] {  // posts while the modal loop runs
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        loop->PostTask(SFCreateTask(owner, &CDialogOwner::Next, 2));
    });
    ASSERT_TRUE(WaitUntil([&] { return owner->log.size() == expected.size(); }));
    late.join();
    ping.m_running = false;
    EXPECT_EQ(owner->log, expected);
    EXPECT_GT(owner->pingsDuringModal, 0);  // the modal loop itself kept working
    ASSERT_TRUE(WaitUntil([&] { return !m_pump.Control()->IsTimerActive(); }));
}

INSTANTIATE_TEST_SUITE_P(TimerStoppedInTask, QtNestedLoop, ::testing::Bool());

// Quit stops the ticks whether it is called on the GUI thread (QuitAndWait, which has no worker
// to wait for) or from another thread; later posts from a worker start them again, the queue is
// whole, and its tasks run one per tick with Qt's events between them until the timer stops.
// A loop that is gone then leaves its control quiet.
class QtQuit : public QtLoop, public ::testing::WithParamInterface<bool> {};

TEST_P(QtQuit, StopsTheTimerAndLaterPostsResumeOnePerTick) {
    Post(1);
    Post(2);
    QCoreApplication::sendPostedEvents();  // the wake-ups: the timer runs, no tick yet
    ASSERT_TRUE(m_pump.Control()->IsTimerActive());
    if (GetParam()) {
        std::thread([control = m_pump.loop->GetMessageControl()] { control->Quit(); }).join();
    } else {
        m_pump.loop->QuitAndWait();
    }
    QCoreApplication::sendPostedEvents();  // delivers a stop from another thread; fires no timer
    EXPECT_FALSE(m_pump.Control()->IsTimerActive());
    EXPECT_EQ(m_probe->m_count.load(), 0);
    CPing ping;
    ping.m_probe = m_probe.get();
    QCoreApplication::postEvent(&ping, new QEvent(QEvent::User));
    std::thread([this] {
        for (int i = 3; i <= 100; ++i) {
            Post(i);
        }
    }).join();  // all are queued before the GUI thread runs any
    ASSERT_TRUE(WaitForCount(100));
    ASSERT_TRUE(WaitUntil([&] { return !m_pump.Control()->IsTimerActive(); }));
    ping.m_running = false;
    std::vector<int> expected(100);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(m_probe->Values(), expected);
    for (int ran = 1; ran < 100; ++ran) {
        EXPECT_TRUE(ping.m_tasksSeen.count(ran))
            << "no event between tasks " << ran << " and the next";
    }
    auto control = m_pump.loop->GetMessageControl();
    CSFMessageLoopManager::GetInstance()->RemoveMessageLoop(ML_MAIN);
    m_pump.loop.reset();
    control->ScheduleWork();
    auto* qt = dynamic_cast<CSFMessageControl_Qt*>(control.get());
    ASSERT_TRUE(WaitUntil([&] { return !qt->IsTimerActive(); }, 5000));
    control->Run();  // nothing to run, no crash
}

INSTANTIATE_TEST_SUITE_P(FromAnotherThread, QtQuit, ::testing::Bool());

// The worker thread: Start runs the loop on a new thread once; the running thread keeps its
// object (and loop) until the loop returns, also when a task of that loop calls QuitAndWait,
// which then does not wait for its own thread.
TEST(CSFThreadEx_Qt, StartsOnceAndLivesUntilItsLoopQuitsFromInside) {
    auto worker = CSFThreadEx_Qt::Create({CSFMessageLoop::kDefaultControl, 0});
    auto loop = worker->GetMessageLoop();
    EXPECT_EQ(loop->GetThreadId(), 0u);
    ASSERT_EQ(worker->Start(), 0);
    const std::uint32_t id = loop->GetThreadId();
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, CSFThread::GetCurrentThreadID());
    EXPECT_EQ(worker->Start(), 0);  // a second Start neither blocks nor starts another thread
    EXPECT_EQ(loop->GetThreadId(), id);
    std::weak_ptr<CSFThreadEx_Qt> watch = worker;
    worker.reset();
    EXPECT_FALSE(watch.expired());
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
    ASSERT_TRUE(loop->GetThreadHandle());
    EXPECT_EQ(loop->GetThreadHandle()->Wait(10000), SF_SOFT_BASE::SF_WAIT_OBJECT_0);
    EXPECT_TRUE(quitter->returned.load());
    quitter->loop.reset();
    ASSERT_TRUE(WaitUntil([&] { return watch.expired(); }));
}

TEST(CSFMessageLoopManager, RegisteringAgainReplacesAndUnknownIdsAreEmpty) {
    auto manager = CSFMessageLoopManager::GetInstance();
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

// The callback timer of the GUI thread: a callback gets its timer's id and user value and may
// start its own timer again with another callback, while what it captured stays alive until it
// returns (read through globals: the callback's captures are what is in question); Stop ends
// the calls.
std::weak_ptr<int> g_captured;
int g_capturedAlive = -1;

TEST(CSFTimer, ACallbackRestartsItsTimerAndStopEndsTheCalls) {
    QCoreApplication app(g_argc, g_argv);
    CSFTimer timer;
    timer.Stop();  // never started: nothing happens
    auto captured = std::make_shared<int>(7);
    g_captured = captured;
    int seenId = -1;
    void* seenUser = nullptr;
    int calls = 0;
    CSFTimer* self = &timer;
    const int id = timer.Start(
        1,
        [&, self, captured](int timerId, void* user) {
            seenId = timerId;
            seenUser = user;
            self->Start(
                1, [&calls](int, void*) { ++calls; }, nullptr);
            g_capturedAlive = g_captured.expired() ? 0 : 1;  // this callback still runs
        },
        &calls);
    ASSERT_NE(id, 0);
    captured.reset();  // the callback holds the only handle now
    ASSERT_TRUE(WaitUntil([&] { return calls >= 2; }, 10000));
    EXPECT_EQ(seenId, id);
    EXPECT_EQ(seenUser, &calls);
    EXPECT_EQ(g_capturedAlive, 1);
    EXPECT_TRUE(g_captured.expired());  // released once the first callback returned
    timer.Stop();
    calls = 0;
    EXPECT_FALSE(WaitUntil([&] { return calls > 0; }, 30));
}

// The control filters the application's events: activation passes on to the filters installed
// before it (Qt runs the latest first), so nothing else misses it.
TEST(CSFMessageControl_Qt, ApplicationActivationIsNotConsumed) {
    QCoreApplication app(g_argc, g_argv);
    struct CWatcher : QObject {
        bool eventFilter(QObject*, QEvent* e) override {
            seen += e->type() == QEvent::ApplicationActivate ||
                    e->type() == QEvent::ApplicationDeactivate;
            return false;
        }
        int seen = 0;
    } watcher;
    app.installEventFilter(&watcher);
    auto loop = CSFMessageLoop::CreateMessageLoop(CSFMessageLoop::kQtControl);
    QEvent activate(QEvent::ApplicationActivate);
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(&app, &activate);
    QCoreApplication::sendEvent(&app, &deactivate);
    EXPECT_EQ(watcher.seen, 2);
}

}  // namespace
