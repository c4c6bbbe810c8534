#include "Main/MsgDlg.h"

#include <Qt>

#include <algorithm>
#include <memory>

#include "Main/DialogStyles.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFFactory.h"

namespace {

constexpr int kOkId = 1;
constexpr int kCancelId = 2;
constexpr int kCloseId = 102;

constexpr int kWidth = 320;
constexpr int kTextLeft = 20;
constexpr int kTextRight = 300;
constexpr int kTextTop = 50;  // below the 35-pixel title band
constexpr int kMinTextHeight = 30;
constexpr int kTextPixelSize = 13;
constexpr int kButtonWidth = 80;  // the face images' own size
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 20;  // between OK and Cancel in mode 1
constexpr int kTextToButtons = 10;
constexpr int kButtonsToBottom = 20;
constexpr int kCloseSize = 24;
constexpr int kCloseMargin = 6;  // from the top and right edges, centring it in the band

// The message box's skin record.
DialogStyle MessageBoxStyle() {
    DialogStyle s = SkinnedDialogStyle(kBand35Pieces);
    // Button 4's state rectangles; no button has a position, so the title bar has none.
    s.buttonStateRects[0] = L"11,41,23,14";
    s.buttonStateRects[1] = L"41,41,23,14";
    s.buttonStateRects[2] = L"71,41,23,14";
    s.text47 = L"normal";
    return s;
}

struct ControlDeleter {
    void operator()(CSFControl* control) const { SFDestroyControl(control); }
};

}  // namespace

SF_BEGIN_MESSAGE_MAP(CMsgDlgEventImp)
SF_ON_COMMAND(kCloseId, OnClose)
SF_END_MESSAGE_MAP()

int ShowMessageBox(const wchar_t* text, const wchar_t* title, void* owner, int mode,
                   int /*reserved1*/, int reserved2) {
    CMsgDlgEventImp logic(text != nullptr ? text : L"", title != nullptr ? title : L"", mode,
                          reserved2);
    return logic.DoModal(owner);
}

CMsgDlgEventImp::CMsgDlgEventImp(std::wstring text, std::wstring title, int mode, int reserved2)
    : m_text(std::move(text)), m_title(std::move(title)), m_mode(mode), m_reserved2(reserved2) {}

CMsgDlgEventImp::~CMsgDlgEventImp() = default;

int CMsgDlgEventImp::DoModal(void* owner) {
    m_owner = owner;
    // The dialog and its controls are gone when this returns, whatever the run's outcome.
    const std::unique_ptr<CSFDialog, ControlDeleter> dialog(SFCreateDialog(this, owner, 0));
    if (!dialog) {
        return 2;
    }
    m_dialog = dialog.get();
    const DialogStyle style = MessageBoxStyle();
    m_dialog->SetSkin(&style);
    m_dialog->SetDrawBackGround(1);
    m_dialog->Create(m_title.c_str(), owner);
    const int result = m_dialog->DoModalDlg();
    m_dialog = nullptr;
    m_label = nullptr;
    m_okButton = m_cancelButton = m_closeButton = nullptr;
    return result == 1 ? 1 : 2;
}

int CMsgDlgEventImp::Dlg_OnInit(int created) {
    if (created == 0 || m_dialog == nullptr) {
        return 1;  // the modal run: everything was built at creation
    }
    void* parent = GetUIWnd();

    // The text: centred, wrapped, at least kMinTextHeight high, grown to what it needs.
    const int textWidth = kTextRight - kTextLeft;
    const tagRECT textRect{kTextLeft, kTextTop, kTextRight, kTextTop + kMinTextHeight};
    m_label = SFCreateStatic(nullptr);
    int textHeight = kMinTextHeight;
    if (m_label != nullptr) {
        m_label->Create(m_text.c_str(), SF_WS_VISIBLE, &textRect, parent, 0);
        m_label->SetTextSize(kTextPixelSize);
        m_label->SetTextColor(SFRGB(0x33, 0x33, 0x33));
        m_label->SetTextAlignFlag(SF_ALIGN_CENTER);
        m_label->SetWordWrap(1);
        textHeight = std::max(kMinTextHeight, m_label->GetTextHeight(textWidth));
        m_label->MoveWindow(kTextLeft, kTextTop, textWidth, textHeight);
    }

    // The buttons, created hidden; the mode shows them.
    const int buttonTop = kTextTop + textHeight + kTextToButtons;
    const ImageButtonStyle faces =
        ButtonFaces(L"btn_01_n.png", L"btn_01_h.png", L"btn_01_p.png", L"btn_01_d.png");
    auto makeButton = [&](const std::wstring& caption, int id) {
        CSFButton* button = SFCreateButton(this);
        if (button != nullptr) {
            const tagRECT r{0, buttonTop, kButtonWidth, buttonTop + kButtonHeight};
            button->Create(caption.c_str(), 0, &r, parent, id);
            button->SetSkin(&faces);
            button->SetTextSize(kTextPixelSize, 0);
        }
        return button;
    };
    m_okButton = makeButton(Translate(L"OK"), kOkId);
    m_cancelButton = makeButton(Translate(L"Cancel"), kCancelId);
    auto place = [&](CSFButton* button, int left) {
        if (button != nullptr) {
            button->MoveWindow(left, buttonTop, kButtonWidth, kButtonHeight);
            button->ShowWindow(1);
        }
    };
    if (m_mode == 0) {
        place(m_okButton, (kWidth - kButtonWidth) / 2);
    } else if (m_mode == 1) {
        const int left = (kWidth - (2 * kButtonWidth + kButtonGap)) / 2;
        place(m_okButton, left);
        place(m_cancelButton, left + kButtonWidth + kButtonGap);
    }

    // The close button in the caption; mode 5 leaves the dialog without one.
    const int closeLeft = kWidth - kCloseMargin - kCloseSize;
    const tagRECT closeRect{closeLeft, kCloseMargin, closeLeft + kCloseSize,
                            kCloseMargin + kCloseSize};
    m_closeButton = CreateCloseButton(this, parent, kCloseId,
                                      ButtonFaces(L"close-normal.png", L"close-hover.png",
                                                  L"close-pressed.png", L"close-disabled.png"),
                                      m_mode == 5 ? 0 : SF_WS_VISIBLE, &closeRect);

    // The buttons' lower edge (also where they would be in the modes that show none).
    const int height = buttonTop + kButtonHeight + kButtonsToBottom;
    m_dialog->SetWindowTextW(m_title.c_str());
    m_dialog->MoveWindow(0, 0, kWidth, height);
    m_dialog->CenterWindow(m_owner);
    return 1;
}

void CMsgDlgEventImp::OnDlgKeyDown(uint32_t /*modifiers*/, int key) {
    if (m_dialog == nullptr) {
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_dialog->MFCOK();
    } else if (key == Qt::Key_Escape) {
        m_dialog->MFCCancel();
    }
}

void CMsgDlgEventImp::BTN_OnLButtonDown(uint32_t id, uint32_t /*flags*/, tagPOINT /*pt*/) {
    if (id == kOkId && m_okButton != nullptr) {
        m_okButton->SetTextColor(SFRGB(0, 0, 0));
    }
}

void CMsgDlgEventImp::BTN_OnLButtonUp(uint32_t id, uint32_t flags, tagPOINT pt) {
    BTN_OnLButtonDown(id, flags, pt);
}

void CMsgDlgEventImp::OnClose() {
    if (m_dialog != nullptr) {
        m_dialog->MFCCancel();
    }
}
