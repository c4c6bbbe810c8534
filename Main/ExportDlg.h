#pragma once
// The export dialog: asks for the folder and the file name of the workbook the specification
// sheet is exported to, checks them, and hands them to the data output page before it closes as
// confirmed. Created once by the page, kept, and run modally for each export; the fields keep
// their texts between runs. GUI thread only.
#include <string>

#include "toolkit/SFControls.h"

class CDataOutputViewEventImp;

class CExportDlgEventImp : public ISFDialogEvent, public ISFButtonEvent, public ISFEditCtrlEvent {
public:
    // The page is not owned; it owns this dialog and outlives it.
    explicit CExportDlgEventImp(CDataOutputViewEventImp* page);
    ~CExportDlgEventImp() override;

    // Builds the dialog (hidden) as a child of the parent window.
    int Create(void* parent);
    // Runs it modally: 1 when confirmed (the page then holds the target), anything else when
    // cancelled (nothing handed over).
    int DoModal();
    void RetranslateTexts();

    int Dlg_OnInit(int created) override;
    CSFDialog* Window() const { return m_window; }

private:
    CDataOutputViewEventImp* m_page;
    CSFDialog* m_window = nullptr;
};
