#pragma once
// The about dialog: a picture, the program's version text and its notice. Created once with the
// main frame, run modally from the tool bar's "About" entry. GUI thread only.
#include <memory>

#include "toolkit/SFControls.h"

class CMainFrameEventImp;

class CAboutDlgEventImp : public ISFDialogEvent, public ISFButtonEvent {
public:
    explicit CAboutDlgEventImp(std::weak_ptr<CMainFrameEventImp> frame);
    ~CAboutDlgEventImp() override;

    // Builds the dialog (hidden) owned by the owner window.
    int Create(void* owner);
    // Runs it modally; returns when closed (close button or Escape).
    int DoModal();
    void RetranslateTexts();

    int Dlg_OnInit(int created) override;
    CSFDialog* Window() const { return m_window; }

private:
    std::weak_ptr<CMainFrameEventImp> m_frame;
    CSFDialog* m_window = nullptr;
};
