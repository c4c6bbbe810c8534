// Tasks and their queue: batches and order, what a task keeps alive, the completion token, the
// posting helper and the trace lines.
#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "TaskProbe.h"
#include "framework/SFMessageLoop.h"
#include "framework/SFPost.h"
#include "framework/SynSmartPtr.h"
#include "framework/os/SFEvent.h"

using namespace OrvexBase;
using taskprobe::CProbe;

TEST(CSFTaskQueue, TenInABatchRunInOrderAndTheEleventhPushedMeanwhileAfterThem) {
    auto probe = std::make_shared<CProbe>();
    CSFTaskQueue queue;
    EXPECT_EQ(queue.RunOneTask(), 0);
    queue.Push(nullptr);
    EXPECT_TRUE(queue.IsEmpty());
    struct CPusher {
        CSFTaskQueue* queue;
        std::shared_ptr<CProbe> probe;
        void PushEleventhFromAnotherThread() {
            probe->Note(1);
            std::thread([this] { queue->Push(SFCreateTask(probe, &CProbe::Note, 11)); }).join();
        }
    };
    queue.Push(SFCreateTask(std::make_shared<CPusher>(CPusher{&queue, probe}),
                            &CPusher::PushEleventhFromAnotherThread));
    for (int i = 2; i <= 10; ++i) {
        queue.Push(SFCreateTask(probe, &CProbe::Note, i));
    }
    EXPECT_EQ(queue.RunOneTask(), 1);  // takes the batch of ten, runs the first
    EXPECT_FALSE(queue.IsEmpty());     // the eleventh waits in the next batch
    for (int i = 2; i <= 10; ++i) {
        EXPECT_EQ(queue.RunOneTask(), 1);
        EXPECT_EQ(probe->Values().size(), static_cast<size_t>(i));  // one task per call
    }
    EXPECT_FALSE(queue.IsEmpty());
    EXPECT_EQ(queue.RunOneTask(), 1);
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_EQ(queue.RunOneTask(), 0);
    EXPECT_EQ(probe->Values(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(CSFTask, ArgumentsAreCopiedAndEveryOwnerFormCalls) {
    struct CDerivedProbe : CProbe {};
    auto derived = std::make_shared<CDerivedProbe>();
    int value = 1;
    auto strong = SFCreateTask(derived, &CProbe::Note, value);
    auto weak = SFCreateWeakTask(std::weak_ptr<CDerivedProbe>(derived), &CProbe::Note, value);
    auto raw = SFCreateTask(derived.get(), &CProbe::Note, value);
    value = 2;
    ASSERT_TRUE(strong && weak && raw);
    EXPECT_EQ(strong->Run() + weak->Run() + raw->Run(), 3);
    EXPECT_EQ(derived->Values(), (std::vector<int>{1, 1, 1}));

    void (CProbe::*none)(int) = nullptr;
    EXPECT_FALSE(SFCreateTask(static_cast<CProbe*>(nullptr), &CProbe::Note, 1));
    EXPECT_FALSE(SFCreateTask(std::shared_ptr<CProbe>(), &CProbe::Note, 1));
    EXPECT_FALSE(SFCreateTask(derived.get(), none, 1));
    EXPECT_FALSE(SFCreateWeakTask(std::weak_ptr<CProbe>(), &CProbe::Note, 1));
    EXPECT_FALSE(SFCreateWeakTask(std::weak_ptr<CProbe>(derived), none, 1));
}

// The token signals when the last task holding it is gone, run or dropped unrun with its queue;
// a queued task keeps its owner alive.
TEST(SynSmartPtr, SignalsWhenTheLastTaskHoldingItIsRunOrDropped) {
    auto event = std::make_shared<SF_SOFT_BASE::CSFEvent>();
    ASSERT_EQ(event->Create(false, true), 1);
    auto frames = std::make_shared<std::vector<int>>();
    struct CRenderer {
        std::shared_ptr<std::vector<int>> frames;
        void Render(std::shared_ptr<SynSmartPtr> /*token*/, int width) { frames->push_back(width); }
    };
    auto renderer = std::make_shared<CRenderer>(CRenderer{frames});
    std::weak_ptr<CRenderer> watch = renderer;
    {
        CSFTaskQueue queue;
        auto token = SynSmartPtr::Create(event);
        queue.Push(SFCreateTask(renderer, &CRenderer::Render, token, 1));
        queue.Push(SFCreateTask(std::move(renderer), &CRenderer::Render, std::move(token), 2));
        EXPECT_EQ(queue.RunOneTask(), 1);
        EXPECT_EQ(event->Wait(0), SF_SOFT_BASE::SF_WAIT_TIMEOUT);  // the second task holds it
        EXPECT_FALSE(watch.expired());
    }
    EXPECT_EQ(event->Wait(0), SF_SOFT_BASE::SF_WAIT_OBJECT_0);
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(*frames, std::vector<int>{1});
    auto orphan = SynSmartPtr::Create(event);
    event.reset();
    orphan.reset();  // its event is gone: releasing it signals nothing and does not crash
}

// The trace and the posting helper: every line of the category is captured as Qt hands it to
// the message handler; tasks go through a control-less loop registered as ML_MAIN, run here.
namespace {

std::mutex g_linesMutex;
std::vector<std::string> g_lines;

void Capture(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (context.category != nullptr && std::string(context.category) == "tessaro.task") {
        std::lock_guard<std::mutex> lock(g_linesMutex);
        g_lines.push_back(message.toStdString() + "\n");
    }
}

// Two of the application's posting sites: the export (level 1) and one of level 3.
const SFTaskLabels kSites[2] = {
    {".\\Main\\DataOutputView", 669, "&CDataOutputViewEventImp::ExportData",
     "CDataOutputViewEventImp::OnBtnExport", 1},
    {".\\Main\\MainFrame", 827, "&CMainFrameEventImp::FileEnd", "CMainFrameEventImp::OnFileEnd",
     3}};

// Expected lines: per line its kind (P post, Q queue cost, E execute cost, D destroy) and the
// posting site (0, 1), e.g. "P0 E0".
struct TraceCase {
    const char* name;
    int enabled;
    int level;
    const char* lines;
};

class TaskTrace : public ::testing::TestWithParam<TraceCase> {
protected:
    void SetUp() override {
        QLoggingCategory::setFilterRules(QStringLiteral("tessaro.task.debug=true"));
        m_previous = qInstallMessageHandler(Capture);
        g_lines.clear();
        CSFMessageLoopManager::GetInstance()->AddMessageLoop(m_loop, ML_MAIN);
    }
    void TearDown() override {
        CSFMessageLoopManager::GetInstance()->RemoveMessageLoop(ML_MAIN);
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
        TaskTraceEnabled = 0;
        SetTaskTraceLevel(1);
    }

    // Checks the line's head (the date and time without leading zeros) and its 13-column cost
    // field ("%-0.2f ms", replaced by "<cost>", or blank); returns the task's address and the rest.
    std::pair<std::string, std::string> Split(const std::string& line) {
        static const std::string n = R"((?:0|[1-9]\d*))";
        static const std::regex format(R"(^\[TaskInfo--([^\]]+)\]-)" + n + "-" + n + "-" + n + " " +
                                       n + ":" + n + ":" + n +
                                       R"(-(\|\{[^}]*\}\|\{[^}]*\}\|)(.{13})(\|[\s\S]*)$)");
        static const std::regex cost(R"( *\d+\.\d\d ms)");
        std::smatch m;
        if (!std::regex_match(line, m, format)) {
            ADD_FAILURE() << line;
            return {};
        }
        const std::string field = std::regex_match(m[3].str(), cost) ? "<cost>" : m[3].str();
        return {m[1].str(), m[2].str() + field + m[4].str()};
    }

    std::shared_ptr<CSFMessageLoop> m_loop = CSFMessageLoop::CreateMessageLoop(-1);
    QtMessageHandler m_previous = nullptr;
};

}  // namespace

TEST_P(TaskTrace, EachPostingSiteWritesTheLinesOfItsLevel) {
    const TraceCase& c = GetParam();
    TaskTraceEnabled = c.enabled;
    SetTaskTraceLevel(c.level);
    struct CDataOutputViewEventImp {
        void ExportData() {}
    };
    struct CMainFrameEventImp {
        void FileEnd() {}
    };
    auto view = std::make_shared<CDataOutputViewEventImp>();
    auto frame = std::make_shared<CMainFrameEventImp>();
    std::weak_ptr<CMainFrameEventImp> weakFrame = frame;
    ASSERT_TRUE(SFPostTask(ML_MAIN, kSites[0], view, &CDataOutputViewEventImp::ExportData));
    ASSERT_TRUE(SFPostTask(ML_MAIN, kSites[1], weakFrame, &CMainFrameEventImp::FileEnd));
    while (m_loop->DoWork()) {
    }
    const std::vector<std::string> lines = g_lines;
    ASSERT_EQ(lines.size(), (std::strlen(c.lines) + 1) / 3);
    const std::map<char, std::string> heads = {
        {'P', "|{ML_MAIN        }|{PostMessage    }|             |<"},
        {'Q', "|{ML_MAIN        }|{Queue Cost     }|<cost>|<"},
        {'E', "|{ML_MAIN        }|{Execute Cost   }|<cost>|<"},
        {'D', "|{ML_MAIN        }|{Destroy        }|             |<"}};
    std::istringstream expectedLines(c.lines);
    std::string addresses[2];
    std::string code;
    for (size_t k = 0; expectedLines >> code; ++k) {
        const int site = code[1] - '0';
        const SFTaskLabels& s = kSites[site];
        const auto [address, rest] = Split(lines[k]);
        std::string expected = heads.at(code[0]) + s.taskName;
        if (code[0] == 'P') {
            addresses[site] = address;
            expected += std::string("> called by <") + s.posterName + "> at file " + s.file +
                        ", line " + std::to_string(s.line) + ".\n";
        } else {
            EXPECT_EQ(address, addresses[site]) << "line " << k;
            expected += ">.\n";
        }
        EXPECT_EQ(rest, expected) << "line " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, TaskTrace,
    ::testing::Values(TraceCase{"Off", 0, 3, ""},
                      // The export task only (level 1): its post and execute cost lines.
                      TraceCase{"Level1", 1, 1, "P0 E0"},
                      // Every task: the post lines, then per task queue cost, execute cost and
                      // destroy (the queue releases each task as soon as it has run).
                      TraceCase{"Level3", 1, 3, "P0 P1 Q0 E0 D0 Q1 E1 D1"}),
    [](const ::testing::TestParamInfo<TraceCase>& row) { return std::string(row.param.name); });

TEST_F(TaskTrace, LongTextIsCutAtTheBufferEnd) {
    TaskTraceEnabled = 1;
    CProbe probe;
    auto task = SFCreateTask(&probe, &CProbe::Note, 1);
    const std::string longName(400, 'x');
    TraceTaskPost(task, 42, "f", 1, longName.c_str(), "p", 1);
    ASSERT_EQ(g_lines.size(), 1u);
    EXPECT_EQ(g_lines[0].size(), 255u + 1u);  // 255 characters, no newline of its own (+ ours)
    EXPECT_NE(g_lines[0].find("|{UNKNOWN        }|"), std::string::npos);
}

// The posting helper: a strong owner lives until its task ran, a weak owner gone by then loses
// its call; posting to a module without a loop, or for an owner already gone, queues and traces
// nothing and keeps nothing alive.
TEST_F(TaskTrace, PostTaskKeepsAStrongOwnerDropsAGoneWeakOneAndNeedsALoop) {
    TaskTraceEnabled = 1;
    SetTaskTraceLevel(3);
    auto probe = std::make_shared<CProbe>();
    std::weak_ptr<CProbe> watch = probe;
    EXPECT_FALSE(SFPostTask(ML_PLAY, kSites[0], std::move(probe), &CProbe::Note, 1));
    EXPECT_TRUE(watch.expired());
    EXPECT_FALSE(SFPostTask(ML_MAIN, kSites[0], watch, &CProbe::Note, 2));
    EXPECT_FALSE(m_loop->DoWork());
    EXPECT_TRUE(g_lines.empty());

    struct COwner {
        std::shared_ptr<CProbe> probe;
        void Note(int value) { probe->Note(value); }
    };
    probe = std::make_shared<CProbe>();
    auto strong = std::make_shared<COwner>(COwner{probe});
    auto weak = std::make_shared<COwner>(COwner{probe});
    auto alive = std::make_shared<COwner>(COwner{probe});
    std::weak_ptr<COwner> strongWatch = strong;
    std::weak_ptr<COwner> weakWatch = weak;
    EXPECT_TRUE(SFPostTask(ML_MAIN, kSites[1], std::move(strong), &COwner::Note, 1));
    EXPECT_TRUE(SFPostTask(ML_MAIN, kSites[1], weakWatch, &COwner::Note, 2));
    EXPECT_TRUE(SFPostTask(ML_MAIN, kSites[1], std::weak_ptr<COwner>(alive), &COwner::Note, 3));
    weak.reset();
    EXPECT_TRUE(weakWatch.expired());  // the queued task did not keep it
    EXPECT_FALSE(strongWatch.expired());
    while (m_loop->DoWork()) {
    }
    EXPECT_TRUE(strongWatch.expired());  // released once it ran
    EXPECT_EQ(probe->Values(), (std::vector<int>{1, 3}));
}
