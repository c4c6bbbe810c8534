#include "Main/MainFrame.h"

#include "Main/AboutDlg.h"
#include "Main/DataOutputView.h"
#include "Main/ModelSelectDlg.h"
#include "Main/ParameterSetting.h"
#include "Main/ToolBar.h"

CMainFrameEventImp::CMainFrameEventImp() = default;
CMainFrameEventImp::~CMainFrameEventImp() = default;
int CMainFrameEventImp::Create() { return 0; }
void CMainFrameEventImp::ShowWindow(int /*show*/) {}
int CMainFrameEventImp::Dlg_OnInit(int /*created*/) { return 1; }
void CMainFrameEventImp::OnDlgSize(uint32_t /*type*/, int& /*cx*/, int& /*cy*/) {}
int CMainFrameEventImp::Dlg_Close() { return 0; }
void CMainFrameEventImp::OnDlgKeyDown(uint32_t /*modifiers*/, int /*key*/) {}
void CMainFrameEventImp::OnChangeGeometry(tagRECT, int, int, int, int) {}
void CMainFrameEventImp::OnChangeNum(int, int) {}
void CMainFrameEventImp::OnChangeOrientation(int) {}
void CMainFrameEventImp::OnAttention(int) {}
void CMainFrameEventImp::OnChangeModel() {}
void CMainFrameEventImp::OnChangeScrollGeometry(int, int) {}
void CMainFrameEventImp::ShowBluePrint(bool) {}
void CMainFrameEventImp::ShowAboutDlg() {}
void CMainFrameEventImp::MinimizeWindow() {}
void CMainFrameEventImp::StopAndClose() {}
void CMainFrameEventImp::RetranslateWindows() {}
void CMainFrameEventImp::OpenUserGuide() {}
void CMainFrameEventImp::ApplyWallSize(double, double) {}
void CMainFrameEventImp::ApplyModel(const std::wstring&, double, double) {}
void CMainFrameEventImp::ApplyCount(int, int) {}
int CMainFrameEventImp::ApplyLampstand(double) { return 0; }
int CMainFrameEventImp::ApplyOrientationChange() { return 0; }
void CMainFrameEventImp::ApplyMetersToFeet() {}
void CMainFrameEventImp::ApplyFeetToMeters() {}
void CMainFrameEventImp::ApplyFitToRoom() {}
void CMainFrameEventImp::SelectModel() {}
void CMainFrameEventImp::ChooseContent(int) {}
void CMainFrameEventImp::SetProductInfo(const ProductParameter&) {}
void CMainFrameEventImp::ShowMessage(const std::wstring&, const std::wstring&) {}
const WallDesign& CMainFrameEventImp::Design() const {
    static const WallDesign kDefault;
    return m_editor ? m_editor->Design() : kDefault;
}
void CMainFrameEventImp::ShowCount(int, int) {}
void CMainFrameEventImp::ShowLampstand(double) {}
void CMainFrameEventImp::ShowOrientation(int) {}
void CMainFrameEventImp::ShowModelName(const std::wstring&) {}
