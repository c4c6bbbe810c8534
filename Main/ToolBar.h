#pragma once
// The tool bar: the title strip at the top of the main window with the logo and title, the two
// page tabs, the close and minimise buttons and the "Setting" menu (language, help, about).
// Every action is carried out by the main frame. GUI thread only.
#include <QPointer>
#include <QWidget>

#include <memory>

#include "toolkit/SFControls.h"

class CMainFrameEventImp;

// Calls to the main frame go through the weak reference and are skipped once the frame is gone.
// Choosing a language from the menu sets CurrentLanguage and the saved setting, saves the
// settings file (even for the language already active; a failed save is logged and the switch
// still happens), marks the chosen entry alone and asks the frame to retranslate every window
// (RetranslateTexts here among them) and Qt's own texts.
class CToolBarEventImp : public ISFViewEvent,
                         public ISFButtonEvent,
                         public ISFRadioBoxEvent,
                         public ISFMenuEvent {
    SF_DECLARE_MESSAGE_MAP(CToolBarEventImp)

public:
    explicit CToolBarEventImp(std::weak_ptr<CMainFrameEventImp> frame);
    ~CToolBarEventImp() override;

    // Builds the bar's view and controls inside parent (the main frame places it).
    int Create(void* parent);
    CSFView* View() const { return m_viewAlive ? m_view : nullptr; }
    void RetranslateTexts();

    // ISFViewEvent: OnCreate builds the controls, OnSize lays them out (sizes × the UI scale);
    // a press on the free bar moves the main window, as a title bar does.
    void OnCreate() override;
    void OnSize(uint32_t type, int cx, int cy) override;
    void OnLButtonDown(uint32_t flags, tagPOINT pt) override;
    // ISFRadioBoxEvent: the tabs (110 "BluePrint", 111 "Data output"), exclusive; each click
    // asks the frame for its page, also on the tab already active.
    void RADIO_OnClicked(uint32_t id, int state, tagPOINT pt) override;
    // ISFMenuEvent: 113 Chinese, 114 English, 109 help, 108 about.
    void Menu_OnAction(int actionId) override;

private:
    void OnClose();
    void OnMinimize();
    void OnSetting();
    void ChooseLanguage(int language);
    void SelectTab(bool bluePrint);

    std::weak_ptr<CMainFrameEventImp> m_frame;
    CSFView* m_view = nullptr;
    QPointer<QWidget> m_viewAlive;  // null once the parent destroyed the view
    CSFPictureCtrl* m_logo = nullptr;
    CSFStatic* m_title = nullptr;
    CSFRadioBox* m_tabBluePrint = nullptr;
    CSFRadioBox* m_tabDataOutput = nullptr;
    CSFButton* m_close = nullptr;
    CSFButton* m_minimize = nullptr;
    CSFButton* m_setting = nullptr;
    CSFMenu* m_menu = nullptr;
    CSFMenu* m_languageMenu = nullptr;
    int m_width = 0;
    int m_height = 0;
};
