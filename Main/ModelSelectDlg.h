#pragma once
// The model selection dialog: lists the product catalogue, shows the main figures of the model
// under the cursor and hands the chosen model to the main frame. Created once with the main
// frame, shown modally on request; it owns the program's only loaded catalogue. GUI thread only.
#include <memory>

#include "Main/model/ProductCatalogue.h"
#include "toolkit/SFControls.h"

class CMainFrameEventImp;

class CModelSelectDlgEventImp : public ISFDialogEvent,
                                public ISFButtonEvent,
                                public ISFListCtrlEvent {
public:
    explicit CModelSelectDlgEventImp(std::weak_ptr<CMainFrameEventImp> frame);
    ~CModelSelectDlgEventImp() override;

    // Loads the catalogue and builds the dialog (hidden) owned by the owner window.
    int Create(void* owner);
    // Runs the dialog modally: 1 a model was chosen, 2 closed without choosing.
    int DoModal();
    // Start-up: selects row 0, shows its details and applies it (nothing with an empty catalogue).
    void ShowDefaultModel();
    void RetranslateTexts();

    int Dlg_OnInit(int created) override;

    const ProductCatalogue& Catalogue() const { return m_catalogue; }
    CSFDialog* Window() const { return m_window; }

private:
    std::weak_ptr<CMainFrameEventImp> m_frame;
    std::shared_ptr<CDatabaseManager> m_database;
    ProductCatalogue m_catalogue;
    CSFDialog* m_window = nullptr;
    int m_currentRow = 0;
    int m_chosenRow = 0;
};
