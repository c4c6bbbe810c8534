#include "Main/AboutDlg.h"

CAboutDlgEventImp::CAboutDlgEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)) {}
CAboutDlgEventImp::~CAboutDlgEventImp() = default;
int CAboutDlgEventImp::Create(void* /*owner*/) { return 0; }
int CAboutDlgEventImp::DoModal() { return 2; }
void CAboutDlgEventImp::RetranslateTexts() {}
int CAboutDlgEventImp::Dlg_OnInit(int /*created*/) { return 1; }
