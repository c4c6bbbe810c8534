#include "Main/ToolBar.h"

#include <QLoggingCategory>
#include <QWindow>

#include <algorithm>

#include "Main/DialogStyles.h"
#include "Main/MainFrame.h"
#include "shell/AppSettings.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFFactory.h"

Q_LOGGING_CATEGORY(lcToolBar, "tessaro.toolbar")

namespace {

enum ToolBarId : uint32_t {
    kCloseId = 102,
    kMinimizeId = 103,
    kSettingId = 105,
    kAboutId = 108,
    kHelpId = 109,
    kTabBluePrintId = 110,
    kTabDataOutputId = 111,
    kChineseId = 113,
    kEnglishId = 114,
};

constexpr SFCOLORREF kTitleColor = SFRGB(0x34, 0x34, 0x34);
constexpr SFCOLORREF kTabColor = SFRGB(0x66, 0x66, 0x66);
constexpr SFCOLORREF kTabSelectedColor = SFRGB(0x3F, 0x6F, 0xE6);

QWidget* WidgetOf(CSFControl* control) {
    return control != nullptr ? static_cast<QWidget*>(control->GetUIWnd()) : nullptr;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CToolBarEventImp)
SF_ON_COMMAND(kMinimizeId, OnMinimize)
SF_ON_COMMAND(kCloseId, OnClose)
SF_ON_COMMAND(kSettingId, OnSetting)
SF_END_MESSAGE_MAP()

CToolBarEventImp::CToolBarEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)) {}

CToolBarEventImp::~CToolBarEventImp() {
    // The controls report to this object: they must not outlive it.
    if (m_viewAlive) {
        SFDestroyControl(m_view);
    }
}

int CToolBarEventImp::Create(void* parent) {
    if (m_view != nullptr) {
        return 0;
    }
    m_view = SFCreateView(this);
    if (m_view == nullptr) {
        return 0;
    }
    m_viewAlive = WidgetOf(m_view);
    const tagRECT r{0, 0, SFScaled(1000), SFScaled(36)};
    return m_view->Create(L"", L"ToolBar", SF_WS_VISIBLE, &r, parent, 0);  // calls OnCreate
}

void CToolBarEventImp::OnCreate() {
    void* parent = GetUIWnd();
    m_logo = SFCreatePictureCtrl(nullptr);
    if (m_logo != nullptr) {
        m_logo->Create(L"", SF_WS_VISIBLE, nullptr, parent, 0);
        m_logo->SetImage(L"logo.png");
    }
    m_title = SFCreateStatic(nullptr);
    if (m_title != nullptr) {
        m_title->Create(L"", SF_WS_VISIBLE, nullptr, parent, 0);
        m_title->SetTextColor(kTitleColor);
        m_title->SetTextSize(SFScaled(14));
        m_title->SetTextAlignFlag(SF_ALIGN_LEFT | SF_ALIGN_VCENTER);
    }

    auto makeTab = [&](uint32_t id, const wchar_t* selected, const wchar_t* normal) {
        CSFRadioBox* tab = SFCreateRadioBox(this);
        if (tab != nullptr) {
            tab->Create(L"", SF_WS_VISIBLE, nullptr, parent, id);
            ImageRadioBox skin;
            skin.checked = selected;
            skin.unchecked = normal;
            skin.checkedHover = selected;
            skin.uncheckedHover = selected;
            tab->SetSkin(&skin);
            tab->SetTextSize(SFScaled(14));
            tab->SetTextColor(kTabColor);
            tab->SetSelectedTextColor(kTabSelectedColor);
            // The caption follows the icon painted at the left of the tab's face.
            tab->SetTextAlign(SF_ALIGN_LEFT | SF_ALIGN_VCENTER);
            tab->SetTextOffset(SFScaled(32), 0);
            tab->SetCursor();
        }
        return tab;
    };
    m_tabBluePrint = makeTab(kTabBluePrintId, L"tab_BluePrint_h.png", L"tab_BluePrint_n.png");
    m_tabDataOutput = makeTab(kTabDataOutputId, L"tab_Dataoutput_h.png", L"tab_Dataoutput_n.png");
    SelectTab(true);  // the wall page is the one shown first

    auto makeButton = [&](uint32_t id, const wchar_t* normal, const wchar_t* hover) {
        CSFButton* button = SFCreateButton(this);
        if (button != nullptr) {
            button->Create(L"", SF_WS_VISIBLE, nullptr, parent, id);
            const ImageButtonStyle faces = ButtonFaces(normal, hover);
            button->SetSkin(&faces);
            button->SetCursor();
        }
        return button;
    };
    m_close = makeButton(kCloseId, L"common_close_n.png", L"common_close_h.png");
    m_minimize = makeButton(kMinimizeId, L"common_min_n.png", L"common_min_h.png");
    m_setting = makeButton(kSettingId, L"down_n.png", L"down_h.png");

    m_menu = SFCreateMenu(this);
    if (m_menu != nullptr) {
        m_menu->Create(0, nullptr, parent, kSettingId);
        m_languageMenu = m_menu->AddMenu(L"");
        if (m_languageMenu != nullptr) {
            m_languageMenu->AddAction(L"", kChineseId);
            m_languageMenu->AddAction(L"", kEnglishId);
            m_languageMenu->SetActionCheckable(kChineseId, 1);
            m_languageMenu->SetActionCheckable(kEnglishId, 1);
            m_languageMenu->SetActionChecked(kChineseId, CurrentLanguage != 0);
            m_languageMenu->SetActionChecked(kEnglishId, CurrentLanguage == 0);
        }
        m_menu->AddSeparator();
        m_menu->AddAction(L"", kHelpId);
        m_menu->AddSeparator();
        m_menu->AddAction(L"", kAboutId);
    }
    RetranslateTexts();
}

void CToolBarEventImp::RetranslateTexts() {
    if (m_title != nullptr) {
        m_title->SetStaticText(Translate(L"ProductName").c_str(), false);
    }
    if (m_tabBluePrint != nullptr) {
        m_tabBluePrint->SetWindowTextW(Translate(L"BluePrint").c_str());
    }
    if (m_tabDataOutput != nullptr) {
        m_tabDataOutput->SetWindowTextW(Translate(L"Data output").c_str());
    }
    if (m_close != nullptr) {
        m_close->SetToolTipText(Translate(L"Close").c_str());
    }
    if (m_minimize != nullptr) {
        m_minimize->SetToolTipText(Translate(L"Min").c_str());
    }
    if (m_setting != nullptr) {
        m_setting->SetToolTipText(Translate(L"Setting").c_str());
    }
    if (m_menu != nullptr) {
        m_menu->SetActionText(kHelpId, Translate(L"Help").c_str());
        m_menu->SetActionText(kAboutId, Translate(L"About").c_str());
    }
    if (m_languageMenu != nullptr) {
        m_languageMenu->SetWindowTextW(Translate(L"Language").c_str());
        m_languageMenu->SetActionText(kChineseId, Translate(L"chinese").c_str());
        m_languageMenu->SetActionText(kEnglishId, Translate(L"english").c_str());
    }
    OnSize(0, m_width, m_height);  // the title's width follows its text
}

void CToolBarEventImp::OnSize(uint32_t /*type*/, int cx, int cy) {
    m_width = cx;
    m_height = cy;
    if (cx <= 0 || cy <= 0) {
        return;
    }
    // Left to right: logo, title, the two tabs; right to left: close, minimise, "Setting".
    const auto centred = [cy](int size) { return (cy - size) / 2; };
    int x = SFScaled(8);
    if (m_logo != nullptr) {
        const int size = SFScaled(24);
        m_logo->MoveWindow(x, centred(size), size, size);
        x += size + SFScaled(8);
    }
    if (QWidget* title = WidgetOf(m_title)) {
        const int width = title->sizeHint().width();
        m_title->MoveWindow(x, 0, width, cy);
        x += width + SFScaled(24);
    }
    // The tabs keep their place through a language change unless the title needs the room.
    x = std::max(x, SFScaled(260));
    const int tabWidth = SFScaled(120);
    const int tabHeight = std::min(cy, SFScaled(36));
    for (CSFRadioBox* tab : {m_tabBluePrint, m_tabDataOutput}) {
        if (tab != nullptr) {
            tab->MoveWindow(x, cy - tabHeight, tabWidth, tabHeight);
            x += tabWidth + SFScaled(8);
        }
    }
    int right = cx - SFScaled(10);
    const auto placeRight = [&](CSFButton* button, int size) {
        if (button != nullptr) {
            right -= size;
            button->MoveWindow(right, centred(size), size, size);
            right -= SFScaled(14);
        }
    };
    placeRight(m_close, SFScaled(15));
    placeRight(m_minimize, SFScaled(15));
    placeRight(m_setting, SFScaled(16));
}

void CToolBarEventImp::OnLButtonDown(uint32_t /*flags*/, tagPOINT /*pt*/) {
    // The bar covers the main window's title area: a press on its free part moves the window
    // where the window system allows it.
    if (QWidget* view = m_viewAlive.data()) {
        if (QWindow* window = view->window()->windowHandle()) {
            window->startSystemMove();
        }
    }
}

void CToolBarEventImp::RADIO_OnClicked(uint32_t id, int /*state*/, tagPOINT /*pt*/) {
    if (id != kTabBluePrintId && id != kTabDataOutputId) {
        return;
    }
    // A click flips the radio's own mark, also on the active tab: the marks are set here.
    const bool bluePrint = id == kTabBluePrintId;
    SelectTab(bluePrint);
    if (auto frame = m_frame.lock()) {
        frame->ShowBluePrint(bluePrint);
    }
}

void CToolBarEventImp::SelectTab(bool bluePrint) {
    if (m_tabBluePrint != nullptr) {
        m_tabBluePrint->SetCheck(bluePrint ? 1 : 0);
    }
    if (m_tabDataOutput != nullptr) {
        m_tabDataOutput->SetCheck(bluePrint ? 0 : 1);
    }
}

void CToolBarEventImp::Menu_OnAction(int actionId) {
    switch (actionId) {
        case kChineseId:
            ChooseLanguage(1);
            break;
        case kEnglishId:
            ChooseLanguage(0);
            break;
        case kHelpId:
            if (auto frame = m_frame.lock()) {
                frame->OpenUserGuide();
            }
            break;
        case kAboutId:
            if (auto frame = m_frame.lock()) {
                frame->ShowAboutDlg();
            }
            break;
        default:
            break;
    }
}

void CToolBarEventImp::ChooseLanguage(int language) {
    CurrentLanguage = language;
    g_appSettings.m_language = language;
    // Saved even when the language was already active; a failed save keeps the switch for this
    // run (the setting stays in memory and goes out with the next successful save).
    if (!g_appSettings.SaveSettings()) {
        qCWarning(lcToolBar, "the language setting could not be saved to %s",
                  g_appSettings.FilePath().c_str());
    }
    if (m_languageMenu != nullptr) {
        m_languageMenu->SetActionChecked(kChineseId, language != 0);
        m_languageMenu->SetActionChecked(kEnglishId, language == 0);
    }
    if (auto frame = m_frame.lock()) {
        frame->RetranslateWindows();
    }
}

void CToolBarEventImp::OnClose() {
    if (auto frame = m_frame.lock()) {
        frame->StopAndClose();
    }
}

void CToolBarEventImp::OnMinimize() {
    if (auto frame = m_frame.lock()) {
        frame->MinimizeWindow();
    }
}

void CToolBarEventImp::OnSetting() {
    // The menu opens below the button, flush with its left edge.
    QWidget* button = WidgetOf(m_setting);
    if (m_menu == nullptr || button == nullptr) {
        return;
    }
    const QPoint at = button->mapToGlobal(QPoint(0, button->height()));
    m_menu->Popup(at.x(), at.y());
}
