#include "Main/ExportDlg.h"

#include <Qt>

#include <vector>

#include "Main/DataOutputView.h"
#include "Main/DialogStyles.h"
#include "Main/MsgDlg.h"
#include "Main/xlsx/ExportTarget.h"
#include "framework/os/SFAppDir.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFFactory.h"
#include "toolkit/SFToolkit.h"

namespace {

constexpr std::size_t kFileNameMaxLength = 32;
constexpr wchar_t kFileNamePattern[] = L"[^*/\\\\<>|]*$";  // no * / \ < > | can be typed

// A 36-pixel band and a 10-pixel bottom edge.
constexpr DialogPieces kExportPieces = {
    L"0,0,10,36",  L"30,0,1,36",   L"76,0,10,36",  L"0,37,1,30",  L"0,37,1,30",  L"0,37,1,30",
    L"0,75,10,10", L"10,75,30,10", L"76,75,10,10", L"85,37,1,30", L"85,37,1,30", L"85,37,1,30"};

// At most `limit` characters of the control's text.
std::wstring ReadText(CSFControl* control, std::size_t limit) {
    if (control == nullptr) {
        return {};
    }
    std::vector<wchar_t> buffer(limit + 1, L'\0');
    const int n = control->GetWindowTextW(buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CExportDlgEventImp)
SF_ON_COMMAND(CExportDlgEventImp::kBrowse, OnBrowse)
SF_ON_COMMAND(CExportDlgEventImp::kClose, OnCancel)
SF_ON_COMMAND(CExportDlgEventImp::kConfirm, OnConfirm)
SF_END_MESSAGE_MAP()

CExportDlgEventImp::CExportDlgEventImp(CDataOutputViewEventImp* page) : m_page(page) {}

CExportDlgEventImp::~CExportDlgEventImp() {
    // The dialog and its controls report to this object: they must not outlive it.
    if (!m_windowAlive.isNull()) {
        SFDestroyControl(m_window);
    }
}

int CExportDlgEventImp::Create(void* parent) {
    if (m_window != nullptr) {
        return 1;
    }
    m_window = SFCreateDialog(this, parent, 0);
    if (m_window == nullptr) {
        return 0;
    }
    m_parent = parent;
    m_windowAlive = static_cast<QWidget*>(m_window->GetUIWnd());
    const DialogStyle style = SkinnedDialogStyle(kExportPieces);
    m_window->SetSkin(&style);
    // The title sits 16 pixels from the top counting the 10-pixel shadow band the window adds
    // around the frame; like the band it is not scaled.
    m_window->SetTitleToTopDistance(6);
    m_window->MoveWindow(0, 0, SFScaled(450) + 20, SFScaled(200) + 20);
    m_window->Create(Translate(L"Export").c_str(), parent);  // builds the controls
    m_window->CenterWindow(parent);
    m_window->SetDrawBackGround(1);
    m_window->SetFrameShadow(true);
    m_window->ShowWindow(0);
    Layout();  // a hidden window hears of its size only when first shown
    return 1;
}

int CExportDlgEventImp::Dlg_OnInit(int created) {
    if (created == 0 || m_close != nullptr) {
        return 1;  // a modal run: the fields keep the texts of the last one
    }
    void* window = m_window->GetUIWnd();
    const tagRECT none{0, 0, 0, 0};
    m_close = CreateCloseButton(
        this, window, kClose, ButtonFaces(L"closed_nor.png", L"closed_hov.png", L"closed_pre.png"));
    for (CSFStatic** label : {&m_pathLabel, &m_nameLabel}) {
        *label = SFCreateStatic(nullptr);
        if (*label != nullptr) {
            (*label)->Create(L"", SF_WS_VISIBLE, &none, window, 0);
            (*label)->SetTextSize(SFScaled(14));
            (*label)->SetTextColor(SFRGB(0x33, 0x33, 0x33));
            (*label)->SetTextAlignFlag(SF_ALIGN_LEFT | SF_ALIGN_VCENTER);
        }
    }
    m_folder = SFCreateEditCtrl(this);
    if (m_folder != nullptr) {
        m_folder->Create(SF_WS_VISIBLE, &none, window, 0, 0);
        m_folder->SetReadOnly(1);
        m_folder->SetTextSize(SFScaled(13));
        const std::wstring start =
            DefaultExportFolder(SFGetAppPath(), SF_SOFT_BASE::IsInstalledProgram());
        m_folder->SetWindowTextW(start.c_str());
        m_folder->SetToolTipText(start.c_str());
    }
    m_fileName = SFCreateEditCtrl(this);
    if (m_fileName != nullptr) {
        m_fileName->Create(SF_WS_VISIBLE, &none, window, kFileName, 0);
        m_fileName->SetRegExp(kFileNamePattern);
        m_fileName->SetTextSize(SFScaled(13));
    }
    const ImageButtonStyle faces =
        ButtonFaces(L"btn_01_n.png", L"btn_01_h.png", L"btn_01_p.png", L"btn_01_d.png");
    for (auto [button, id] : {std::pair{&m_browse, kBrowse}, std::pair{&m_confirm, kConfirm}}) {
        *button = SFCreateButton(this);
        if (*button != nullptr) {
            (*button)->Create(L"", SF_WS_VISIBLE, &none, window, id);
            (*button)->SetSkin(&faces);
            (*button)->SetTextSize(SFScaled(13), 0);
        }
    }
    SetTexts();
    if (m_fileName != nullptr) {
        m_fileName->SetWindowTextW(Translate(L"DataConfig").c_str());
    }
    return 1;
}

void CExportDlgEventImp::SetTexts() {
    m_window->SetWindowTextW(Translate(L"Export").c_str());
    if (m_close != nullptr) {
        m_close->SetToolTipText(Translate(L"Close").c_str());
    }
    if (m_pathLabel != nullptr) {
        m_pathLabel->SetStaticText(Translate(L"Path").c_str(), true);
    }
    if (m_nameLabel != nullptr) {
        m_nameLabel->SetStaticText(Translate(L"FileName").c_str(), true);
    }
    if (m_browse != nullptr) {
        m_browse->SetWindowTextW(Translate(L"Brown").c_str());
    }
    if (m_confirm != nullptr) {
        m_confirm->SetWindowTextW(Translate(L"OK").c_str());
    }
}

void CExportDlgEventImp::RetranslateTexts() {
    if (m_windowAlive.isNull()) {
        return;
    }
    SetTexts();
    if (m_fileName != nullptr) {
        m_fileName->SetWindowTextW(Translate(L"DataConfig").c_str());
    }
}

void CExportDlgEventImp::OnDlgSize(uint32_t /*type*/, int& /*cx*/, int& /*cy*/) {
    Layout();
}

// Two rows of label, field (and "Brown" beside the folder) under the title band, "OK" centred
// below them; the close button in the band's right end.
void CExportDlgEventImp::Layout() {
    if (m_windowAlive.isNull()) {
        return;
    }
    const auto sc = SFScaled;
    tagRECT frame{};
    m_window->GetDlgClientRect(&frame);
    auto place = [](CSFControl* c, int x, int y, int w, int h) {
        if (c != nullptr) {
            c->MoveWindow(x, y, w, h);
        }
    };
    // The band is the skin's 36 pixels at every scale, so its button is not scaled either.
    place(m_close, frame.right - 30, frame.top + 6, 24, 24);
    const int labelLeft = frame.left + sc(20);
    const int fieldLeft = frame.left + sc(100);
    const int buttonWidth = sc(80), rowHeight = sc(28);
    const int browseLeft = frame.right - sc(20) - buttonWidth;
    const int fieldWidth = browseLeft - sc(10) - fieldLeft;
    const int pathTop = frame.top + sc(58), nameTop = frame.top + sc(100);
    place(m_pathLabel, labelLeft, pathTop, fieldLeft - labelLeft, rowHeight);
    place(m_folder, fieldLeft, pathTop, fieldWidth, rowHeight);
    place(m_browse, browseLeft, pathTop, buttonWidth, rowHeight);
    place(m_nameLabel, labelLeft, nameTop, fieldLeft - labelLeft, rowHeight);
    place(m_fileName, fieldLeft, nameTop, fieldWidth, rowHeight);
    place(m_confirm, (frame.left + frame.right - buttonWidth) / 2, frame.top + sc(148), buttonWidth,
          rowHeight);
}

int CExportDlgEventImp::DoModal() {
    if (m_windowAlive.isNull()) {
        return 2;
    }
    m_window->CenterWindow(m_parent);
    return m_window->DoModalDlg();
}

void CExportDlgEventImp::EDIT_OnTextChange(uint32_t id, const wchar_t* text) {
    const std::wstring typed = text != nullptr ? text : L"";
    if (id == kFileName && m_fileName != nullptr && typed.size() > kFileNameMaxLength) {
        m_fileName->SetWindowTextW(typed.substr(0, kFileNameMaxLength).c_str());
    }
}

void CExportDlgEventImp::OnBrowse() {
    if (m_folder == nullptr) {
        return;
    }
    std::wstring chosen;
    const std::wstring start = ReadText(m_folder, kExportPathMaxLength);
    if (SFFileDialog(m_window->GetUIWnd(), SFFileDialogMode::OpenFolder, L"", start, L"", chosen) !=
        1) {
        return;
    }
    if (chosen.size() > kExportPathMaxLength) {
        ShowNotice(L"The path is too long, please select again.");
        return;
    }
    m_folder->SetWindowTextW(chosen.c_str());
    m_folder->SetToolTipText(chosen.c_str());
}

void CExportDlgEventImp::OnConfirm() {
    // One character over the limit is read, so an overlong folder is refused, never cut short.
    const std::wstring folder = ReadText(m_folder, kExportPathMaxLength + 1);
    const std::wstring fileName = ReadText(m_fileName, kFileNameMaxLength);
    if (const wchar_t* failed = CheckExportTarget(folder, fileName)) {
        ShowNotice(failed);
        return;
    }
    if (m_page != nullptr) {
        m_page->SetExportTarget(folder, fileName);
    }
    m_window->MFCOK();
}

void CExportDlgEventImp::OnCancel() {
    m_window->MFCCancel();
}

void CExportDlgEventImp::OnDlgKeyDown(uint32_t /*modifiers*/, int key) {
    if (key == Qt::Key_Escape) {
        OnCancel();
    }
}

void CExportDlgEventImp::ShowNotice(const wchar_t* key) {
    ShowMessageBox(Translate(key).c_str(), Translate(L"Attention").c_str(), m_window->GetUIWnd());
}
