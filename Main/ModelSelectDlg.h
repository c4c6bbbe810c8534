#pragma once
// The model selection dialog: lists the product catalogue, shows the main figures of the model
// under the cursor and hands the chosen model to the main frame. Created once with the main
// frame, shown modally on request; it owns the program's only loaded catalogue. GUI thread only.
//
// Rows are catalogue records in catalogue order. Two rows are remembered: the current row (the
// one whose details were last shown by a selection) and the chosen row (the one last applied).
// Choosing applies the current row; the close button gives up the selection and selects the
// chosen row again; Escape only closes. With an empty catalogue the dialog says so, with the
// file it looked for, and nothing is ever applied.
//
// The frame is reached through a weak reference locked for each call; without a frame the
// dialog works alone and applies nothing.
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

#include "Main/model/ProductCatalogue.h"
#include "toolkit/SFControls.h"

class CMainFrameEventImp;

class CModelSelectDlgEventImp : public ISFDialogEvent,
                                public ISFButtonEvent,
                                public ISFListCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CModelSelectDlgEventImp)

public:
    enum ControlId : uint32_t {
        kClose = 102,
        kCancel = 301,
        kChoose = 302,
    };

    explicit CModelSelectDlgEventImp(std::weak_ptr<CMainFrameEventImp> frame);
    ~CModelSelectDlgEventImp() override;

    // Loads the catalogue; the dialog's window (owned by the owner window) is built on first use
    // (DoModal, or any accessor of its controls below), in the language current then.
    int Create(void* owner);
    // Runs the dialog modally: 1 a model was chosen, 2 closed without choosing.
    int DoModal();
    // Start-up: selects row 0, shows its details and applies it (nothing with an empty catalogue).
    void ShowDefaultModel();
    void RetranslateTexts();

    int Dlg_OnInit(int created) override;
    void OnDlgSize(uint32_t type, int& cx, int& cy) override;
    void OnDlgKeyDown(uint32_t modifiers, int key) override;
    void OnSelected(int row) override;

    const ProductCatalogue& Catalogue() const { return m_catalogue; }
    // The window, built now if it was not yet (start-up builds no window that it does not show).
    CSFDialog* Window() const { return const_cast<CModelSelectDlgEventImp*>(this)->BuildWindow(); }
    // For the tests and tools: the list, a button by id (ControlId), the rows.
    CSFListCtrl* List() const { return Window() != nullptr ? m_list : nullptr; }
    CSFButton* Button(uint32_t id) const;
    int CurrentRow() const { return m_currentRow; }
    int ChosenRow() const { return m_chosenRow; }

private:
    void OnChoose();
    void OnCancel();
    void SetTexts();  // every text but the list's headers
    void BuildList();
    void FillList();
    void ShowDetails(int row);
    void SetDetail(CSFStatic* label, const std::wstring& text);
    void Layout(int w, int h);
    void ApplyRow(int row);
    // Builds the window once (Create only loads the catalogue); returns it, or null.
    CSFDialog* BuildWindow();
    // Selects a row in the list without treating it as the user's selection.
    void SelectRowQuietly(int row);

    std::weak_ptr<CMainFrameEventImp> m_frame;
    std::shared_ptr<CDatabaseManager> m_database;
    ProductCatalogue m_catalogue;
    CSFDialog* m_window = nullptr;
    void* m_owner = nullptr;           // for the window, when it is built
    bool m_created = false;            // Create ran
    QPointer<QWidget> m_windowWidget;  // null once a Qt parent has deleted the dialog
    int m_currentRow = 0;
    int m_chosenRow = 0;
    int m_detailsRow = -1;  // the row whose details the labels show; -1 none yet
    bool m_quietSelection = false;
    int m_width = 0;
    int m_height = 0;
    int m_textWidth = 0;  // visible width of the name and detail labels (the list covers the rest)

    CSFButton* m_close = nullptr;
    CSFPictureCtrl* m_picture = nullptr;
    CSFStatic* m_modelName = nullptr;
    CSFStatic* m_details[4] = {};
    CSFListCtrl* m_list = nullptr;
    CSFButton* m_choose = nullptr;
    CSFButton* m_cancel = nullptr;
    CSFStatic* m_emptyNotice = nullptr;  // in the list while the catalogue is empty
};
