#pragma once
// The export dialog: asks for the folder and the file name of the workbook the data
// sheet is exported to, checks them, and hands them to the data output page before it closes as
// confirmed. Created once by the page, kept, and run modally for each export; the fields keep
// their texts between runs. GUI thread only.
//
// The folder field is read-only: "Brown" fills it from the desktop's folder chooser (a choice
// longer than 519 characters is refused with a message). It starts at the application directory
// when a file can be created there, else at the user's documents or home folder. The file name
// field refuses * / \ < > | as they are typed and keeps at most 32 characters. "OK" runs the
// checks of CheckExportTarget (Main/xlsx/ExportTarget.h) and shows the first failure's message;
// Escape and the close button end the run without handing anything over.
#include <QPointer>
#include <QWidget>

#include <string>

#include "toolkit/SFControls.h"

class CDataOutputViewEventImp;

class CExportDlgEventImp : public ISFDialogEvent, public ISFButtonEvent, public ISFEditCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CExportDlgEventImp)

public:
    enum ControlId : uint32_t {
        kClose = 102,
        kConfirm = 302,
        kBrowse = 303,
        kFileName = 304,
    };

    // The page is not owned; it owns this dialog and outlives it.
    explicit CExportDlgEventImp(CDataOutputViewEventImp* page);
    ~CExportDlgEventImp() override;

    // Builds the dialog (hidden) as a child of the parent window.
    int Create(void* parent);
    // Runs it modally: 1 when confirmed (the page then holds the target), anything else when
    // cancelled (nothing handed over).
    int DoModal();
    // Every text in the current language; the file name goes back to the default "DataConfig".
    void RetranslateTexts();

    int Dlg_OnInit(int created) override;
    void OnDlgSize(uint32_t type, int& cx, int& cy) override;
    void OnDlgKeyDown(uint32_t modifiers, int key) override;
    void EDIT_OnTextChange(uint32_t id, const wchar_t* text) override;
    CSFDialog* Window() const { return m_window; }

private:
    void OnBrowse();
    void OnConfirm();
    void OnCancel();
    void SetTexts();
    void Layout();
    void ShowNotice(const wchar_t* key);

    CDataOutputViewEventImp* m_page;
    CSFDialog* m_window = nullptr;
    QPointer<QWidget> m_windowAlive;  // null once the parent destroyed the dialog
    void* m_parent = nullptr;
    CSFButton* m_close = nullptr;
    CSFStatic* m_pathLabel = nullptr;
    CSFStatic* m_nameLabel = nullptr;
    CSFEditCtrl* m_folder = nullptr;
    CSFEditCtrl* m_fileName = nullptr;
    CSFButton* m_browse = nullptr;
    CSFButton* m_confirm = nullptr;
};
