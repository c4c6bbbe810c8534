#pragma once
// The "Data output" page: the specification sheet of the chosen model and the wall's layout,
// beside the wall preview. Created and placed by the main frame. GUI thread only.
#include <QPointer>
#include <QWidget>

#include <memory>

#include "Main/model/ProductCatalogue.h"
#include "toolkit/SFControls.h"

class CMainFrameEventImp;

class CDataOutputViewEventImp : public ISFViewEvent, public ISFButtonEvent {
public:
    explicit CDataOutputViewEventImp(std::weak_ptr<CMainFrameEventImp> frame);
    ~CDataOutputViewEventImp() override;

    // Builds the page's view inside parent (hidden; the main frame places and shows it).
    int Create(void* parent);
    CSFView* View() const { return m_viewAlive ? m_view : nullptr; }

    // The chosen model's record.
    void SetProductInfo(const ProductParameter& record);
    // The wall's layout, each time the page is shown; the sheet's counts follow it.
    void SetScreenConfiguration(int columns, int rows);
    void RetranslateTexts();
    // The export dialog's confirmed folder and file name (without ".xlsx"), as typed.
    void SetExportTarget(const std::wstring& folder, const std::wstring& fileName);
    const std::wstring& ExportFolder() const { return m_exportFolder; }
    const std::wstring& ExportFileName() const { return m_exportFileName; }

    // What the page was last given (for the page itself and its tests).
    const ProductParameter& ProductInfo() const { return m_record; }
    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }

private:
    std::weak_ptr<CMainFrameEventImp> m_frame;
    CSFView* m_view = nullptr;
    QPointer<QWidget> m_viewAlive;  // null once the parent destroyed the view
    ProductParameter m_record;
    int m_columns = 0;
    int m_rows = 0;
    std::wstring m_exportFolder;
    std::wstring m_exportFileName;
};
