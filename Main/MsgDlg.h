#pragma once
// The one modal message box of the program: a small skinned dialog with a title, a wrapped text,
// an "OK" button and a close button. GUI thread only.
#include <string>

#include "toolkit/SFControls.h"

// Shows text with title over the owner window (a window's UI pointer, may be null) and returns
// when the user closed it: 1 for OK and Enter, 2 for the close button and Escape. mode 0 shows
// the OK button alone (every caller passes 0); the reserved values are passed through.
int ShowMessageBox(const wchar_t* text, const wchar_t* title, void* owner, int mode = 0,
                   int reserved1 = 0, int reserved2 = 0);

// The logic of one message box. Built, run and destroyed by ShowMessageBox; nothing of it
// outlives the call.
//
// Layout of the 320-pixel-wide client area: the text spans x 20..300 below the title band,
// centred and word-wrapped, at least 30 pixels high and as high as its text needs; the buttons
// sit 10 pixels below the text; the dialog ends 20 pixels below the buttons.
// Modes: 0 the OK button alone, centred; 1 OK and "Cancel" side by side, 20 pixels apart;
// 5 no buttons and no close button; any other value no buttons.
class CMsgDlgEventImp : public ISFDialogEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(CMsgDlgEventImp)

public:
    CMsgDlgEventImp(std::wstring text, std::wstring title, int mode, int reserved2);
    ~CMsgDlgEventImp() override;

    // Creates the dialog over owner, runs it modally and destroys it. Returns 1 (OK, Enter) or
    // 2 (close button, Escape, the window closed otherwise).
    int DoModal(void* owner);

    // ISFDialogEvent: Dlg_OnInit(1) builds the controls; OK and Cancel add nothing of their own.
    int Dlg_OnInit(int created) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    // Return and Enter accept, Escape rejects.
    void OnDlgKeyDown(uint32_t modifiers, int key) override;

    // ISFButtonEvent: pressing or releasing the OK button turns its text black.
    void BTN_OnLButtonDown(uint32_t id, uint32_t flags, tagPOINT pt) override;
    void BTN_OnLButtonUp(uint32_t id, uint32_t flags, tagPOINT pt) override;

private:
    void OnClose();

    std::wstring m_text;
    std::wstring m_title;
    int m_mode = 0;
    [[maybe_unused]] int m_reserved2 = 0;  // passed through; nothing here reads it
    void* m_owner = nullptr;
    CSFDialog* m_dialog = nullptr;
    CSFStatic* m_label = nullptr;
    CSFButton* m_okButton = nullptr;
    CSFButton* m_cancelButton = nullptr;
    CSFButton* m_closeButton = nullptr;
};
