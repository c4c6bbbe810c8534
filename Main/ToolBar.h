#pragma once
// The tool bar: the title strip at the top of the main window with the logo and title, the two
// page tabs, the close and minimise buttons and the "Setting" menu (language, help, about).
// Every action is carried out by the main frame. GUI thread only.
#include <memory>

#include "toolkit/SFControls.h"

class CMainFrameEventImp;

class CToolBarEventImp : public ISFViewEvent,
                         public ISFButtonEvent,
                         public ISFRadioBoxEvent,
                         public ISFMenuEvent {
public:
    explicit CToolBarEventImp(std::weak_ptr<CMainFrameEventImp> frame);
    ~CToolBarEventImp() override;

    // Builds the bar's view and controls inside parent (the main frame places it).
    int Create(void* parent);
    CSFView* View() const { return m_view; }
    void RetranslateTexts();

private:
    std::weak_ptr<CMainFrameEventImp> m_frame;
    CSFView* m_view = nullptr;
};
