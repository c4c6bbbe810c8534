// Tasks and their queue: batches and order, what a task keeps alive, the completion token, and
// the trace lines.
#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "framework/SFTask.h"
#include "framework/SynSmartPtr.h"
#include "framework/os/SFEvent.h"
#include "framework/os/SFSystem.h"

using namespace OrvexBase;

namespace {

class CRecorder {
public:
    void Note(int value) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_values.push_back(value);
    }
    void NoteText(std::string text, int number) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_texts.push_back(text + ":" + std::to_string(number));
    }
    int Twice(int value) const { return value * 2; }
    std::vector<int> Values() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_values;
    }
    std::vector<std::string> Texts() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_texts;
    }

private:
    std::mutex m_mutex;
    std::vector<int> m_values;
    std::vector<std::string> m_texts;
};

class CDerivedRecorder : public CRecorder {};

}  // namespace

TEST(CSFTaskQueue, EmptyQueueRunsNothing) {
    CSFTaskQueue queue;
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_EQ(queue.RunOneTask(), 0);
    queue.Push(nullptr);
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_EQ(queue.RunOneTask(), 0);
}

TEST(CSFTaskQueue, TenInABatchRunInOrderAndTheEleventhPushedMeanwhileAfterThem) {
    auto recorder = std::make_shared<CRecorder>();
    CSFTaskQueue queue;
    struct CPusher {
        CSFTaskQueue* queue;
        std::shared_ptr<CRecorder> recorder;
        void PushEleventhFromAnotherThread() {
            recorder->Note(1);
            std::thread([this] {
                queue->Push(SFCreateTask(recorder, &CRecorder::Note, 11));
            }).join();
        }
    };
    auto pusher = std::make_shared<CPusher>(CPusher{&queue, recorder});
    queue.Push(SFCreateTask(pusher, &CPusher::PushEleventhFromAnotherThread));
    for (int i = 2; i <= 10; ++i) {
        queue.Push(SFCreateTask(recorder, &CRecorder::Note, i));
    }
    EXPECT_FALSE(queue.IsEmpty());
    EXPECT_EQ(queue.RunOneTask(), 1);  // takes the batch of ten, runs the first
    EXPECT_EQ(recorder->Values(), (std::vector<int>{1}));
    EXPECT_FALSE(queue.IsEmpty());  // the eleventh waits in the next batch
    for (int i = 2; i <= 10; ++i) {
        EXPECT_EQ(queue.RunOneTask(), 1);
        EXPECT_EQ(recorder->Values().size(), static_cast<size_t>(i));  // one task per call
    }
    EXPECT_FALSE(queue.IsEmpty());
    EXPECT_EQ(queue.RunOneTask(), 1);
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_EQ(queue.RunOneTask(), 0);
    EXPECT_EQ(recorder->Values(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(CSFTaskQueue, ProducersOnSeveralThreadsKeepTheirOwnOrder) {
    auto recorder = std::make_shared<CRecorder>();
    CSFTaskQueue queue;
    constexpr int kThreads = 4;
    constexpr int kPerThread = 500;
    std::vector<std::thread> producers;
    std::atomic<bool> go{false};
    for (int t = 0; t < kThreads; ++t) {
        producers.emplace_back([&, t] {
            while (!go) {
                std::this_thread::yield();
            }
            for (int i = 0; i < kPerThread; ++i) {
                queue.Push(SFCreateTask(recorder, &CRecorder::Note, t * kPerThread + i));
            }
        });
    }
    go = true;
    int ran = 0;
    // A lost task fails the test at the deadline instead of spinning until the test is killed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (ran < kThreads * kPerThread && std::chrono::steady_clock::now() < deadline) {
        ran += queue.RunOneTask();
    }
    for (auto& p : producers) {
        p.join();
    }
    ASSERT_EQ(ran, kThreads * kPerThread);
    EXPECT_EQ(queue.RunOneTask(), 0);
    std::vector<int> last(kThreads, -1);
    for (int v : recorder->Values()) {
        EXPECT_GT(v, last[v / kPerThread]);
        last[v / kPerThread] = v;
    }
}

TEST(CSFTaskQueue, DestroyingAQueueDropsItsTasksUnrun) {
    auto recorder = std::make_shared<CRecorder>();
    std::weak_ptr<CRecorder> watch = recorder;
    {
        CSFTaskQueue queue;
        queue.Push(SFCreateTask(recorder, &CRecorder::Note, 1));
        recorder.reset();
        EXPECT_FALSE(watch.expired());  // the task keeps its owner
    }
    EXPECT_TRUE(watch.expired());
}

TEST(CSFTask, OwnerLivesUntilTheTaskIsDestroyedAndArgumentsAreCopied) {
    auto recorder = std::make_shared<CDerivedRecorder>();
    std::weak_ptr<CRecorder> watch = recorder;
    std::string text = "before";
    auto buffer = std::make_shared<std::vector<unsigned char>>(4, 0);
    std::shared_ptr<CSFTask> task = SFCreateTask(recorder, &CRecorder::NoteText, text, 5);
    text = "after";
    recorder.reset();
    ASSERT_TRUE(task);
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(task->Run(), 1);
    EXPECT_EQ(watch.lock()->Texts(), (std::vector<std::string>{"before:5"}));
    task.reset();
    EXPECT_TRUE(watch.expired());
}

TEST(CSFTask, RawObjectFormAndRefusals) {
    CRecorder recorder;
    auto task = SFCreateTask(&recorder, &CRecorder::Note, 3);
    ASSERT_TRUE(task);
    task->Run();
    EXPECT_EQ(recorder.Values(), (std::vector<int>{3}));
    auto constTask = SFCreateTask(std::make_shared<CRecorder>(), &CRecorder::Twice, 4);
    EXPECT_TRUE(constTask);
    EXPECT_FALSE(SFCreateTask(static_cast<CRecorder*>(nullptr), &CRecorder::Note, 1));
    EXPECT_FALSE(SFCreateTask(std::shared_ptr<CRecorder>(), &CRecorder::Note, 1));
    void (CRecorder::*none)(int) = nullptr;
    EXPECT_FALSE(SFCreateTask(&recorder, none, 1));
}

TEST(SynSmartPtr, SignalsWhenTheLastTaskHoldingItIsDestroyed) {
    auto event = std::make_shared<SF_SOFT_BASE::CSFEvent>();
    ASSERT_EQ(event->Create(false, true), 1);
    struct CRenderer {
        std::atomic<int> frames{0};
        void Render(std::shared_ptr<SynSmartPtr> /*token*/, int /*width*/) { ++frames; }
    };
    auto renderer = std::make_shared<CRenderer>();
    CSFTaskQueue queue;
    {
        auto token = SynSmartPtr::Create(event);
        queue.Push(SFCreateTask(renderer, &CRenderer::Render, token, 1));
        queue.Push(SFCreateTask(renderer, &CRenderer::Render, token, 2));
    }
    EXPECT_EQ(event->Wait(0), SF_SOFT_BASE::SF_WAIT_TIMEOUT);
    std::thread loop([&queue] {
        while (queue.RunOneTask() != 0) {
        }
    });
    EXPECT_EQ(event->Wait(10000), SF_SOFT_BASE::SF_WAIT_OBJECT_0);
    loop.join();
    EXPECT_EQ(renderer->frames.load(), 2);
}

TEST(SynSmartPtr, ReleasedAfterItsEventDiedDoesNothing) {
    auto event = std::make_shared<SF_SOFT_BASE::CSFEvent>();
    ASSERT_EQ(event->Create(false, true), 1);
    auto token = SynSmartPtr::Create(event);
    event.reset();
    token.reset();  // no event to signal: harmless
    SUCCEED();
}

// The trace: every line of the category is captured as Qt hands it to the message handler.
namespace {

std::mutex g_linesMutex;
std::vector<std::string> g_lines;

void Capture(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (context.category != nullptr && std::string(context.category) == "tessaro.task") {
        std::lock_guard<std::mutex> lock(g_linesMutex);
        g_lines.push_back(message.toStdString() + "\n");
    }
}

class TaskTrace : public ::testing::Test {
protected:
    void SetUp() override {
        QLoggingCategory::setFilterRules(QStringLiteral("tessaro.task.debug=true"));
        m_previous = qInstallMessageHandler(Capture);
        g_lines.clear();
        m_before = std::time(nullptr);
    }
    void TearDown() override {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
        TaskTraceEnabled = 0;
        SetTaskTraceLevel(1);
    }

    // The three tasks of the application's posting sites, each posted to ML_MAIN, run once and
    // released.
    std::vector<std::string> RunTheThreePostingSites(std::vector<const void*>* addresses) {
        struct CDataOutputViewEventImp {
            void ExportData() {}
        };
        struct CMainFrameEventImp {
            void FileEnd() {}
            void OnQTRenderSubWin(int) {}
        };
        auto view = std::make_shared<CDataOutputViewEventImp>();
        CMainFrameEventImp frame;
        CSFTaskQueue queue;
        std::shared_ptr<CSFTask> tasks[3] = {
            SFCreateTask(view, &CDataOutputViewEventImp::ExportData),
            SFCreateTask(&frame, &CMainFrameEventImp::FileEnd),
            SFCreateTask(&frame, &CMainFrameEventImp::OnQTRenderSubWin, 2)};
        TraceTaskPost(tasks[0], ML_MAIN, ".\\Main\\DataOutputView", 669,
                      "&CDataOutputViewEventImp::ExportData",
                      "CDataOutputViewEventImp::OnBtnExport", 1);
        TraceTaskPost(tasks[1], ML_MAIN, ".\\Main\\MainFrame", 827, "&CMainFrameEventImp::FileEnd",
                      "CMainFrameEventImp::OnFileEnd", 3);
        TraceTaskPost(tasks[2], ML_MAIN, ".\\Main\\MainFrame", 714,
                      "&CMainFrameEventImp::OnQTRenderSubWin", "CMainFrameEventImp::OnVisibleDec",
                      3);
        for (auto& task : tasks) {
            addresses->push_back(static_cast<CTaskBase*>(task.get()));
            queue.Push(std::move(task));
        }
        while (queue.RunOneTask() != 0) {
        }
        m_after = std::time(nullptr);
        return g_lines;
    }

    // Checks the address and the date and time (the local time while the test ran, printed
    // without leading zeros) and returns the rest of the line.
    std::string Rest(const std::string& line, const void* address) {
        static const std::regex head(
            R"(^\[TaskInfo--([^\]]+)\]-(\d+)-(\d+)-(\d+) (\d+):(\d+):(\d+)-([\s\S]*)$)");
        std::smatch m;
        EXPECT_TRUE(std::regex_match(line, m, head)) << line;
        if (m.empty()) {
            return {};
        }
        char pointer[32];
        std::snprintf(pointer, sizeof pointer, "%p", address);
        EXPECT_EQ(m[1].str(), pointer);
        for (int i = 2; i <= 7; ++i) {
            EXPECT_TRUE(m[i].str() == "0" || m[i].str()[0] != '0') << "leading zero: " << line;
        }
        SF_SOFT_BASE::SFTimeRecord record{std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]),
                                          std::stoi(m[5]), std::stoi(m[6]), std::stoi(m[7])};
        std::int64_t when = 0;
        EXPECT_EQ(SF_SOFT_BASE::CSFSystem::TimeRecordToCalendar(record, &when), 1);
        EXPECT_GE(when, m_before);
        EXPECT_LE(when, m_after);
        return m[8].str();
    }

    // A cost line's rest with its cost field checked ("%-0.2f ms" in 13 columns) and replaced.
    std::string CostRest(const std::string& rest) {
        static const std::regex cost(
            R"(^(\|\{ML_MAIN        \}\|\{[A-Za-z ]{15}\}\|)( *\d+\.\d\d ms)(\|[\s\S]*)$)");
        std::smatch m;
        EXPECT_TRUE(std::regex_match(rest, m, cost)) << rest;
        if (m.empty()) {
            return {};
        }
        EXPECT_EQ(m[2].length(), 13);
        return m[1].str() + "<cost>" + m[3].str();
    }

    QtMessageHandler m_previous = nullptr;
    std::time_t m_before = 0;
    std::time_t m_after = 0;
};

}  // namespace

TEST_F(TaskTrace, Level1TracesTheExportTaskOnly) {
    TaskTraceEnabled = 1;
    SetTaskTraceLevel(1);
    std::vector<const void*> addresses;
    std::vector<std::string> lines = RunTheThreePostingSites(&addresses);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Rest(lines[0], addresses[0]),
              "|{ML_MAIN        }|{PostMessage    }|             |<&CDataOutputViewEventImp::"
              "ExportData> called by <CDataOutputViewEventImp::OnBtnExport> at file "
              ".\\Main\\DataOutputView, line 669.\n");
    EXPECT_EQ(CostRest(Rest(lines[1], addresses[0])),
              "|{ML_MAIN        }|{Execute Cost   }|<cost>|<&CDataOutputViewEventImp::ExportData>."
              "\n");
}

TEST_F(TaskTrace, Level3TracesEveryTaskWithAllFourLines) {
    TaskTraceEnabled = 1;
    SetTaskTraceLevel(3);
    std::vector<const void*> addresses;
    std::vector<std::string> lines = RunTheThreePostingSites(&addresses);
    const char* names[3] = {"&CDataOutputViewEventImp::ExportData", "&CMainFrameEventImp::FileEnd",
                            "&CMainFrameEventImp::OnQTRenderSubWin"};
    const char* posts[3] = {
        "called by <CDataOutputViewEventImp::OnBtnExport> at file .\\Main\\DataOutputView, line "
        "669.\n",
        "called by <CMainFrameEventImp::OnFileEnd> at file .\\Main\\MainFrame, line 827.\n",
        "called by <CMainFrameEventImp::OnVisibleDec> at file .\\Main\\MainFrame, line 714.\n"};
    // Three post lines, then per task: queue cost, execute cost, destroy (the queue releases
    // each task as soon as it has run).
    ASSERT_EQ(lines.size(), 12u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Rest(lines[i], addresses[i]),
                  std::string("|{ML_MAIN        }|{PostMessage    }|             |<") + names[i] +
                      "> " + posts[i]);
        EXPECT_EQ(CostRest(Rest(lines[3 + 3 * i], addresses[i])),
                  std::string("|{ML_MAIN        }|{Queue Cost     }|<cost>|<") + names[i] + ">.\n");
        EXPECT_EQ(CostRest(Rest(lines[4 + 3 * i], addresses[i])),
                  std::string("|{ML_MAIN        }|{Execute Cost   }|<cost>|<") + names[i] + ">.\n");
        EXPECT_EQ(Rest(lines[5 + 3 * i], addresses[i]),
                  std::string("|{ML_MAIN        }|{Destroy        }|             |<") + names[i] +
                      ">.\n");
    }
}

TEST_F(TaskTrace, OffWritesNothingAndLeavesTheFieldsAlone) {
    TaskTraceEnabled = 0;
    SetTaskTraceLevel(0);
    std::vector<const void*> addresses;
    EXPECT_TRUE(RunTheThreePostingSites(&addresses).empty());
    CRecorder recorder;
    auto task = SFCreateTask(&recorder, &CRecorder::Note, 1);
    TraceTaskPost(task, ML_MAIN, "file", 1, "task", "poster", 3);
    EXPECT_EQ(task->m_nModuleId, 0);
    EXPECT_EQ(task->m_nTraceLevel, 1);
    EXPECT_TRUE(task->m_strTaskName.empty());
}

TEST_F(TaskTrace, LongTextIsCutAtTheBufferEnd) {
    TaskTraceEnabled = 1;
    SetTaskTraceLevel(1);
    CRecorder recorder;
    auto task = SFCreateTask(&recorder, &CRecorder::Note, 1);
    const std::string longName(400, 'x');
    TraceTaskPost(task, 42, "f", 1, longName.c_str(), "p", 1);
    ASSERT_EQ(g_lines.size(), 1u);
    EXPECT_EQ(g_lines[0].size(), 255u + 1u);  // 255 characters, no newline of its own (+ ours)
    EXPECT_NE(g_lines[0].find("|{UNKNOWN        }|"), std::string::npos);
}
