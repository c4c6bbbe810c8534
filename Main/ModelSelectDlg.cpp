#include "Main/ModelSelectDlg.h"

CModelSelectDlgEventImp::CModelSelectDlgEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)) {}
CModelSelectDlgEventImp::~CModelSelectDlgEventImp() = default;
int CModelSelectDlgEventImp::Create(void* /*owner*/) { return 0; }
int CModelSelectDlgEventImp::DoModal() { return 2; }
void CModelSelectDlgEventImp::ShowDefaultModel() {}
void CModelSelectDlgEventImp::RetranslateTexts() {}
int CModelSelectDlgEventImp::Dlg_OnInit(int /*created*/) { return 1; }
