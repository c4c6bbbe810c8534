#include "Main/ExportDlg.h"

CExportDlgEventImp::CExportDlgEventImp(CDataOutputViewEventImp* page) : m_page(page) {}
CExportDlgEventImp::~CExportDlgEventImp() = default;
int CExportDlgEventImp::Create(void* /*parent*/) { return 0; }
int CExportDlgEventImp::DoModal() { return 2; }
void CExportDlgEventImp::RetranslateTexts() {}
int CExportDlgEventImp::Dlg_OnInit(int /*created*/) { return 1; }
