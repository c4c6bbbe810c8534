#pragma once
// Posting work to a module's loop in one call: the task is made from an owner and one of its
// member functions, stamped with its trace labels and queued on the loop registered under the
// module id. This is the one way the application's posters are meant to queue work.
//
//   // The export: the view stays alive until its export has run.
//   OrvexBase::SFPostTask(OrvexBase::ML_MAIN,
//                         {".\\Main\\DataOutputView", 669, "&CDataOutputViewEventImp::ExportData",
//                          "CDataOutputViewEventImp::OnBtnExport", 1},
//                         shared_from_this(), &CDataOutputViewEventImp::ExportData);
//   // A decoded frame: dropped, not drawn, when the frame window is gone by then.
//   OrvexBase::SFPostTask(OrvexBase::ML_MAIN,
//                         {".\\Main\\MainFrame", 714, "&CMainFrameEventImp::OnQTRenderSubWin",
//                          "CMainFrameEventImp::OnVisibleDec", 3},
//                         weak_from_this(), &CMainFrameEventImp::OnQTRenderSubWin, frame, w, h);
//
// The owner handle decides the lifetime: a std::shared_ptr is kept by the task until the task
// is destroyed (after it ran, or unrun with its queue); a std::weak_ptr is not, and the call is
// dropped when the owner is gone by the time the task runs. There is no raw-pointer form: a
// task never calls through a `this` that may dangle.
//
// Any thread. The arguments are copied into the task. The task runs on the loop's thread.
#include <cstdint>
#include <memory>
#include <utility>

#include "framework/SFMessageLoop.h"
#include "framework/SFTask.h"

namespace OrvexBase {

// The trace labels of one posting site (see TraceTaskPost): the source file and line named in
// the post line, the bound method's and the posting function's names, and the trace level.
struct SFTaskLabels {
    const char* file = "";
    std::int32_t line = 0;
    const char* taskName = "";
    const char* posterName = "";
    std::int32_t level = 1;
};

namespace detail {
// Stamps the labels (TraceTaskPost: the post line is written once, while the trace is on) and
// queues the task on loop. False, with nothing traced or queued, for an empty task.
bool PostLabelledTask(CSFMessageLoop& loop, std::int32_t moduleId, const SFTaskLabels& labels,
                      std::shared_ptr<CSFTask> task);

// The task for each kind of owner handle; a raw pointer has none and does not compile.
template <class Owner, class Method, class... A>
std::shared_ptr<CSFTask> MakeTask(std::shared_ptr<Owner> owner, Method method, A&&... args) {
    return SFCreateTask(std::move(owner), method, std::forward<A>(args)...);
}
template <class Owner, class Method, class... A>
std::shared_ptr<CSFTask> MakeTask(std::weak_ptr<Owner> owner, Method method, A&&... args) {
    return SFCreateWeakTask(std::move(owner), method, std::forward<A>(args)...);
}
}  // namespace detail

// owner is a std::shared_ptr (the task keeps it alive) or a std::weak_ptr (the task runs the
// call only if the owner still exists then). Returns whether the task was queued. Without a
// loop registered under moduleId, or with a weak owner already gone, no task is made: nothing
// is traced, and a strong owner is released here.
template <class OwnerHandle, class Method, class... A>
bool SFPostTask(std::int32_t moduleId, const SFTaskLabels& labels, OwnerHandle owner, Method method,
                A&&... args) {
    const std::shared_ptr<CSFMessageLoop> loop =
        CSFMessageLoopManager::GetInstance()->GetMessageLoop(moduleId);
    return loop && detail::PostLabelledTask(
                       *loop, moduleId, labels,
                       detail::MakeTask(std::move(owner), method, std::forward<A>(args)...));
}

}  // namespace OrvexBase
