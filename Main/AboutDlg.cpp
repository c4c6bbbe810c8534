#include "Main/AboutDlg.h"

#include <Qt>

#include <algorithm>

#include "Main/DialogStyles.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFFactory.h"

namespace {

constexpr int kCloseId = 102;
// AboutPic.png's own size: the picture keeps this aspect ratio when it is fitted.
constexpr int kPictureWidth = 300;
constexpr int kPictureHeight = 90;

// The about dialog's skin record.
DialogStyle AboutStyle() {
    DialogStyle s = SkinnedDialogStyle(kBand35Pieces);
    s.flag = 1;
    return s;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CAboutDlgEventImp)
SF_ON_COMMAND(kCloseId, OnClose)
SF_END_MESSAGE_MAP()

CAboutDlgEventImp::CAboutDlgEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)) {}

CAboutDlgEventImp::~CAboutDlgEventImp() {
    // The controls report to this object: they must not outlive it.
    if (m_windowAlive) {
        SFDestroyControl(m_window);
    }
}

int CAboutDlgEventImp::Create(void* owner) {
    if (m_created) {
        return 0;
    }
    m_created = true;
    // Start-up shows no about dialog: its window is built when first asked for (BuildWindow).
    m_owner = owner;
    return 1;
}

void CAboutDlgEventImp::BuildWindow() {
    if (m_window != nullptr || !m_created) {
        return;
    }
    void* owner = m_owner;
    m_window = SFCreateDialog(this, owner, 0);
    if (m_window == nullptr) {
        return;
    }
    m_windowAlive = static_cast<QWidget*>(m_window->GetUIWnd());
    m_windowAlive->setObjectName(QStringLiteral("AboutDlg"));
    const DialogStyle style = AboutStyle();
    m_window->SetSkin(&style);
    // The record's title distance counts a 10-pixel shadow band; the window adds its own band,
    // so only the distance inside the frame is passed.
    m_window->SetTitleToTopDistance(SFScaled(8));
    m_window->Create(L"AboutDlg", owner);
    m_window->SetWindowTextW(Translate(L"About").c_str());
    m_window->MoveWindow(0, 0, SFScaled(320), SFScaled(200));
    m_window->CenterWindow(owner);
    m_window->SetDrawBackGround(1);
    m_window->SetFrameShadow(true);
    m_window->ShowWindow(0);
    Layout();
}

int CAboutDlgEventImp::DoModal() {
    if (Window() == nullptr) {
        return 0;
    }
    m_window->CenterWindow(nullptr);  // over the owner, wherever it has moved since
    return m_window->DoModalDlg();
}

void CAboutDlgEventImp::RetranslateTexts() {
    if (!m_windowAlive) {
        return;
    }
    m_window->SetWindowTextW(Translate(L"About").c_str());
    if (m_version != nullptr) {
        m_version->SetStaticText(Translate(L"ProductVer").c_str(), false);
    }
    if (m_notice != nullptr) {
        m_notice->SetStaticText(Translate(L"CopyrightString").c_str(), false);
    }
    if (m_closeButton != nullptr) {
        m_closeButton->SetToolTipText(Translate(L"Close").c_str());
    }
    Layout();  // the new texts may wrap differently
}

int CAboutDlgEventImp::Dlg_OnInit(int created) {
    if (created == 0) {
        return 1;  // the modal run: the content exists since creation
    }
    void* parent = GetUIWnd();
    m_picture = SFCreatePictureCtrl(nullptr);
    if (m_picture != nullptr) {
        m_picture->Create(L"", SF_WS_VISIBLE, nullptr, parent, 0);
        m_picture->SetImage(L"AboutPic.png");
    }
    m_closeButton =
        CreateCloseButton(this, parent, kCloseId,
                          ButtonFaces(L"closed_nor.png", L"closed_hov.png", L"closed_pre.png"));
    auto makeText = [&](const wchar_t* key, SFCOLORREF color) {
        CSFStatic* text = SFCreateStatic(nullptr);
        if (text != nullptr) {
            text->Create(Translate(key).c_str(), SF_WS_VISIBLE, nullptr, parent, 0);
            text->SetTextSize(SFScaled(14));
            text->SetTextColor(color);
            text->SetTextAlignFlag(SF_ALIGN_CENTER);
            text->SetWordWrap(1);
        }
        return text;
    };
    m_version = makeText(L"ProductVer", SFRGB(0x33, 0x33, 0x33));
    m_notice = makeText(L"CopyrightString", SFRGB(0x66, 0x66, 0x66));
    return 1;
}

void CAboutDlgEventImp::OnDlgSize(uint32_t /*type*/, int& /*cx*/, int& /*cy*/) {
    Layout();
}

void CAboutDlgEventImp::Layout() {
    if (!m_windowAlive) {
        return;
    }
    // From the bottom up: the notice above the bottom margin, the version above it, and the
    // picture fitted (aspect kept) into what is left below the title band.
    tagRECT frame{};
    m_window->GetDlgClientRect(&frame);
    const int margin = SFScaled(10);
    const int band = SFScaled(36);
    const int width = frame.right - frame.left;
    const int textWidth = std::max(0, width - 2 * margin);
    const int left = frame.left + margin;
    int bottom = frame.bottom - margin;
    auto placeText = [&](CSFStatic* text) {
        if (text != nullptr) {
            const int h = text->GetTextHeight(textWidth);
            bottom -= h;
            text->MoveWindow(left, bottom, textWidth, h);
            bottom -= SFScaled(4);
        }
    };
    placeText(m_notice);
    placeText(m_version);
    if (m_picture != nullptr) {
        const int top = frame.top + band + SFScaled(4);
        const int room = std::max(0, bottom - SFScaled(4) - top);
        int w = textWidth;
        int h = w * kPictureHeight / kPictureWidth;
        if (h > room) {
            h = room;
            w = h * kPictureWidth / kPictureHeight;
        }
        m_picture->MoveWindow(frame.left + (width - w) / 2, top + (room - h) / 2, w, h);
    }
    if (m_closeButton != nullptr) {
        const int size = SFScaled(24);
        m_closeButton->MoveWindow(frame.right - SFScaled(6) - size, frame.top + SFScaled(6), size,
                                  size);
    }
}

void CAboutDlgEventImp::OnDlgKeyDown(uint32_t /*modifiers*/, int key) {
    if (key == Qt::Key_Escape && m_windowAlive) {
        m_window->MFCCancel();
    }
}

void CAboutDlgEventImp::OnClose() {
    if (m_windowAlive) {
        m_window->MFCCancel();
    }
}
