#include "framework/SFPost.h"

namespace OrvexBase::detail {

bool PostLabelledTask(CSFMessageLoop& loop, std::int32_t moduleId, const SFTaskLabels& labels,
                      std::shared_ptr<CSFTask> task) {
    if (!task) {
        return false;
    }
    TraceTaskPost(task, moduleId, labels.file, labels.line, labels.taskName, labels.posterName,
                  labels.level);
    loop.PostTask(std::move(task));
    return true;
}

}  // namespace OrvexBase::detail
