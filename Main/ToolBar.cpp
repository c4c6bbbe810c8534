#include "Main/ToolBar.h"

CToolBarEventImp::CToolBarEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)) {}
CToolBarEventImp::~CToolBarEventImp() = default;
int CToolBarEventImp::Create(void* /*parent*/) { return 0; }
void CToolBarEventImp::RetranslateTexts() {}
