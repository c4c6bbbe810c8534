#include "framework/SFTask.h"

#include <QLoggingCategory>
#include <QString>

#include <chrono>
#include <cstdio>

#include "framework/os/SFSystem.h"

Q_LOGGING_CATEGORY(lcTask, "tessaro.task", QtWarningMsg)

namespace OrvexBase {

std::atomic<int> TaskTraceEnabled{0};
std::atomic<int> TaskTraceLevel{1};

void SetTaskTraceLevel(int level) {
    TaskTraceLevel.store(level);
}

const char* SFModuleName(std::int32_t moduleId) {
    switch (moduleId) {
        case ML_MAIN:
            return "ML_MAIN";
        case ML_HELPER:
            return "ML_HELPER";
        case ML_PLAY:
            return "ML_PLAY";
        case ML_WATERMARK:
            return "ML_WATERMARK";
        case ML_TEST:
            return "ML_TEST";
        case ML_EXPORT:
            return "ML_EXPORT";
        default:
            return "UNKNOWN";
    }
}

std::int64_t SFTaskCounter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t SFTaskCounterFrequency() {
    static const std::int64_t frequency = std::chrono::nanoseconds(std::chrono::seconds(1)).count();
    return frequency;
}

namespace {

// Every line goes out whole; Qt's message handler ends each message with its own newline, so
// the line's trailing "\n" is left to it and the output is the formatted text unchanged.
void Emit(const char* line) {
    QString text = QString::fromUtf8(line);
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    qCDebug(lcTask).noquote() << text;
}

bool Traced(const CTaskBase& task, int minimumLevel) {
    const int level = TaskTraceLevel.load();
    return TaskTraceEnabled.load() != 0 && level >= minimumLevel && task.m_nTraceLevel <= level;
}

void EmitCost(const CTaskBase& task, const char* what, double milliseconds) {
    char cost[64];
    // "%-0.2f ms": the '0' flag is void beside '-', so this is the same text.
    std::snprintf(cost, sizeof cost, "%-.2f ms", milliseconds);
    const SF_SOFT_BASE::SFTimeRecord now = SF_SOFT_BASE::CSFSystem::GetLocalTime();
    char line[512];
    std::snprintf(line, sizeof line,
                  "[TaskInfo--%p]-%d-%d-%d %d:%d:%d-|{%-15.15s}|{%-15.15s}|%13.13s|<%s>.\n",
                  static_cast<const void*>(&task), now.year, now.month, now.day, now.hour,
                  now.minute, now.second, SFModuleName(task.m_nModuleId), what, cost,
                  task.m_strTaskName.c_str());
    Emit(line);
}

}  // namespace

CTaskBase::CTaskBase() : m_nCreated(SFTaskCounter()) {}

CTaskBase::~CTaskBase() = default;

CSFTask::~CSFTask() {
    if (!Traced(*this, 2)) {
        return;
    }
    const SF_SOFT_BASE::SFTimeRecord now = SF_SOFT_BASE::CSFSystem::GetLocalTime();
    char line[512];
    std::snprintf(line, sizeof line,
                  "[TaskInfo--%p]-%d-%d-%d %d:%d:%d-|{%-15.15s}|{%-15.15s}|             |<%s>.\n",
                  static_cast<const void*>(static_cast<CTaskBase*>(this)), now.year, now.month,
                  now.day, now.hour, now.minute, now.second, SFModuleName(m_nModuleId), "Destroy",
                  m_strTaskName.c_str());
    Emit(line);
}

namespace detail {

void TraceTaskRun(const CTaskBase& task, std::int64_t start) {
    if (!Traced(task, 1)) {
        return;
    }
    const std::int64_t end = SFTaskCounter();
    const double frequency = static_cast<double>(SFTaskCounterFrequency());
    const double queueCost = static_cast<double>(start - task.m_nCreated) / frequency * 1000.0;
    const double executeCost = static_cast<double>(end - start) / frequency * 1000.0;
    if (TaskTraceLevel.load() >= 2) {
        EmitCost(task, "Queue Cost", queueCost);
    }
    EmitCost(task, "Execute Cost", executeCost);
}

}  // namespace detail

void TraceTaskPost(const std::shared_ptr<CSFTask>& task, std::int32_t moduleId, const char* file,
                   std::int32_t line, const char* taskName, const char* posterName,
                   std::int32_t level) {
    if (!task || TaskTraceEnabled.load() == 0) {
        return;
    }
    task->m_nModuleId = moduleId;
    task->m_strFile = file ? file : "";
    task->m_nLine = line;
    task->m_strTaskName = taskName ? taskName : "";
    task->m_strPosterName = posterName ? posterName : "";
    task->m_nTraceLevel = level;
    if (!Traced(*task, 1)) {
        return;
    }
    const SF_SOFT_BASE::SFTimeRecord now = SF_SOFT_BASE::CSFSystem::GetLocalTime();
    char text[256];
    std::snprintf(text, sizeof text,
                  "[TaskInfo--%p]-%d-%d-%d %d:%d:%d-|{%-15.15s}|{%-15.15s}|             |<%s> "
                  "called by <%s> at file %s, line %d.\n",
                  static_cast<const void*>(static_cast<CTaskBase*>(task.get())), now.year,
                  now.month, now.day, now.hour, now.minute, now.second, SFModuleName(moduleId),
                  "PostMessage", task->m_strTaskName.c_str(), task->m_strPosterName.c_str(),
                  task->m_strFile.c_str(), line);
    Emit(text);
}

CSFTaskQueue::CSFTaskQueue() = default;

CSFTaskQueue::~CSFTaskQueue() {
    Clear();
}

void CSFTaskQueue::Push(std::shared_ptr<CSFTask> task) {
    if (!task) {
        return;
    }
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    m_incoming.push_back(std::move(task));
}

int CSFTaskQueue::RunOneTask() {
    if (m_working.empty()) {
        SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
        if (m_incoming.empty()) {
            return 0;
        }
        m_incoming.swap(m_working);
    }
    std::shared_ptr<CSFTask> task = std::move(m_working.front());
    m_working.pop_front();
    task->Run();
    return 1;
}

bool CSFTaskQueue::IsEmpty() const {
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    return m_incoming.empty();
}

void CSFTaskQueue::Clear() {
    std::deque<std::shared_ptr<CSFTask>> incoming;
    std::deque<std::shared_ptr<CSFTask>> working;
    {
        SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
        incoming.swap(m_incoming);
        working.swap(m_working);
    }
    // The tasks (and the owners they hold) are destroyed outside the lock: an owner's
    // destructor may post again.
}

}  // namespace OrvexBase
