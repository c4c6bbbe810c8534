#pragma once
// The "Data output" page: the data sheet of the chosen model and the wall's layout,
// beside the wall preview, and "Export To Excel". Created and placed by the main frame. GUI
// thread only.
//
// What the sheet shows is SpecSheetValues (Main/model/SpecSheet.h computes every figure): the
// product lines follow SetProductInfo at once, the counts and the packaging follow the layout
// only when SetScreenConfiguration runs, which the main frame does each time the page is shown.
// Until then the lines show fixed placeholders. The export writes exactly those 17 texts.
//
// The page lays its rows out in its size handler around the area where the main frame shows the
// preview (kPreviewArea): texts that do not fit their place end in "…", whole in the tool tip.
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

#include "Main/model/ProductCatalogue.h"
#include "Main/model/SpecSheetValues.h"
#include "toolkit/SFControls.h"

class CMainFrameEventImp;
class CExportDlgEventImp;

class CDataOutputViewEventImp : public ISFViewEvent,
                                public ISFButtonEvent,
                                public std::enable_shared_from_this<CDataOutputViewEventImp> {
    SF_DECLARE_MESSAGE_MAP(CDataOutputViewEventImp)

public:
    // The export button's command id.
    static constexpr uint32_t kExportButton = 208;
    // Where the main frame shows the wall preview while this page is shown: a 672 × 378 area in
    // the coordinates of the window both are children of, not scaled. The page leaves it free.
    static constexpr tagRECT kPreviewArea{25, 115, 697, 493};

    explicit CDataOutputViewEventImp(std::weak_ptr<CMainFrameEventImp> frame);
    ~CDataOutputViewEventImp() override;

    // Makes the page ready to be built inside parent: its view (hidden; the main frame places and
    // shows it), with the export dialog, is built on first use (View()), so a start-up that shows
    // the wall page builds none of it. The figures follow SetProductInfo and
    // SetScreenConfiguration whether or not the view exists. Call on an object owned by a
    // std::shared_ptr (the export task holds it weakly). Returns 1 on success.
    int Create(void* parent);
    // The page's view, built now if it was not yet; null if it could not be built or its parent
    // destroyed it.
    CSFView* View() const {
        const_cast<CDataOutputViewEventImp*>(this)->BuildView();
        return m_viewAlive ? m_view : nullptr;
    }
    // The view was built (View() was asked for).
    bool ViewBuilt() const { return m_view != nullptr; }
    // The view's place in its parent, now or when it is built.
    void PlaceView(const tagRECT& rect);

    // The chosen model's record: the model, dimension, power, diagonal and weight lines change at
    // once; the packaging keeps its figures until the next SetScreenConfiguration.
    void SetProductInfo(const ProductParameter& record);
    // The wall's layout, each time the page is shown: screen configuration, total and packaging.
    void SetScreenConfiguration(int columns, int rows);
    // Every label, header and button text again from the language table (values stay), and the
    // export dialog's texts.
    void RetranslateTexts();
    // The export dialog's confirmed folder and file name (without ".xlsx"), as typed.
    void SetExportTarget(const std::wstring& folder, const std::wstring& fileName);
    const std::wstring& ExportFolder() const { return m_exportFolder; }
    const std::wstring& ExportFileName() const { return m_exportFileName; }

    // "Export To Excel" (command kExportButton): runs the export dialog modally and, when it was
    // confirmed, posts ExportData to ML_MAIN. Before any model was chosen there is nothing to
    // export: the user is told so and no dialog opens.
    void OnBtnExport();
    // The export itself (run as a posted task): writes the sheet to the confirmed target with a
    // busy cursor, then tells the user how it went in a message over the main window. The writer
    // is the export module (Main/xlsx/ExportLoader.h), loaded here at the first export; without
    // it the message is "Export failure." and nothing is written.
    void ExportData();

    // What the page was last given (for the page itself and its tests).
    const ProductParameter& ProductInfo() const { return m_record; }
    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }
    // The sheet's texts, whole (a shown text may be shortened).
    const SpecSheetValues& Values() const { return m_values; }
    // The control showing field `field` of Values() (null for an index out of range).
    CSFStatic* ValueControl(int field) const;
    CSFButton* ExportButton() const { return m_exportButton; }
    CExportDlgEventImp* ExportDlg() const { return m_exportDlg.get(); }

    // ---- ISFViewEvent
    void OnCreate() override;
    void OnSize(uint32_t type, int cx, int cy) override;

private:
    struct Line {
        CSFStatic* label = nullptr;
        CSFStatic* value = nullptr;
        int field = 0;
    };
    struct Section {
        CSFPictureCtrl* icon = nullptr;
        CSFStatic* header = nullptr;
        CSFPictureCtrl* separator = nullptr;  // below the section; none below the last
        int firstLine = 0;
        int lineCount = 0;
    };

    // Builds the view (once) in the parent Create was given, at the place PlaceView last gave.
    void BuildView();
    void BuildPage();
    // Places every control for the page size last received and fits every text to its place.
    void Layout();
    // The preview area in the page's own coordinates.
    tagRECT PreviewAreaInPage() const;
    void ShowMessage(const std::wstring& title, const std::wstring& text);

    std::weak_ptr<CMainFrameEventImp> m_frame;
    CSFView* m_view = nullptr;
    void* m_parent = nullptr;  // where the view is built (Create)
    tagRECT m_place{0, 0, 0, 0};
    bool m_placed = false;
    QPointer<QWidget> m_viewAlive;  // null once the parent destroyed the view
    ProductParameter m_record;
    bool m_hasProduct = false;  // a model was chosen (the sheet is more than placeholders)
    int m_columns = 0;
    int m_rows = 0;
    std::wstring m_exportFolder;
    std::wstring m_exportFileName;
    SpecSheetValues m_values;
    int m_width = 0;
    int m_height = 0;

    CSFPictureCtrl* m_titleBar = nullptr;
    CSFStatic* m_title = nullptr;
    CSFButton* m_exportButton = nullptr;
    CSFScrollArea* m_sheet = nullptr;
    std::array<Section, 6> m_sections{};
    std::array<Line, SpecSheetValues::kCount> m_lines{};
    std::unique_ptr<CExportDlgEventImp> m_exportDlg;
};
