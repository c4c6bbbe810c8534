#pragma once
// The about dialog: a picture, the program's version text and its notice. Created once with the
// main frame, run modally from the tool bar's "About" entry. GUI thread only.
#include <QPointer>
#include <QWidget>

#include <memory>

#include "toolkit/SFControls.h"

class CMainFrameEventImp;

// Both texts are language entries ("ProductVer", "CopyrightString"): the wording lives in the
// language files, not here. The close button (102) and Escape end the modal run with cancel.
// The dialog is a child of its owner; it is destroyed with this object, or earlier with the
// owner (this object then notices and does not touch it again).
class CAboutDlgEventImp : public ISFDialogEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(CAboutDlgEventImp)

public:
    explicit CAboutDlgEventImp(std::weak_ptr<CMainFrameEventImp> frame);
    ~CAboutDlgEventImp() override;

    // Prepares the dialog owned by the owner window; its window is built (hidden) on first use
    // (DoModal or Window()), in the language current then. Returns 1, or 0 when it was created
    // before.
    int Create(void* owner);
    // Runs it modally, centred over its owner; returns when closed (close button or Escape):
    // 2, or 0 when there is no dialog.
    int DoModal();
    // Title, version and notice again from the language table (after a language change).
    void RetranslateTexts();

    int Dlg_OnInit(int created) override;
    // Lays the picture, the close button and the two texts out in the new size.
    void OnDlgSize(uint32_t type, int& cx, int& cy) override;
    // Escape ends the run like the close button.
    void OnDlgKeyDown(uint32_t modifiers, int key) override;
    // The window, built now if it was not yet; null if it could not be built or its owner
    // destroyed it.
    CSFDialog* Window() const {
        const_cast<CAboutDlgEventImp*>(this)->BuildWindow();
        return m_windowAlive ? m_window : nullptr;
    }

private:
    void OnClose();
    void Layout();
    // Builds the window once, owned by the window Create was given.
    void BuildWindow();

    std::weak_ptr<CMainFrameEventImp> m_frame;
    CSFDialog* m_window = nullptr;
    void* m_owner = nullptr;          // set by Create; the window is built on first use
    bool m_created = false;           // Create ran
    QPointer<QWidget> m_windowAlive;  // null once the owner destroyed the dialog
    CSFPictureCtrl* m_picture = nullptr;
    CSFButton* m_closeButton = nullptr;
    CSFStatic* m_version = nullptr;
    CSFStatic* m_notice = nullptr;
};
