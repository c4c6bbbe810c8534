#include "Main/DataOutputView.h"

#include "toolkit/SFFactory.h"

CDataOutputViewEventImp::CDataOutputViewEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)) {}

CDataOutputViewEventImp::~CDataOutputViewEventImp() {
    // The view reports to this object: it must not outlive it (unless its parent took it first).
    if (!m_viewAlive.isNull()) {
        SFDestroyControl(m_view);
    }
}

int CDataOutputViewEventImp::Create(void* parent) {
    if (m_view != nullptr) {
        return 0;
    }
    m_view = SFCreateView(this);
    if (m_view == nullptr) {
        return 0;
    }
    const tagRECT rect{0, 0, 0, 0};
    m_view->Create(L"", L"", 0, &rect, parent, 0);
    m_viewAlive = static_cast<QWidget*>(m_view->GetUIWnd());
    m_view->SetBgColor(SFRGB(255, 255, 255), 1);
    return 1;
}

void CDataOutputViewEventImp::SetProductInfo(const ProductParameter& record) {
    m_record = record;
}

void CDataOutputViewEventImp::SetScreenConfiguration(int columns, int rows) {
    m_columns = columns;
    m_rows = rows;
}

// The page has no text of its own yet.
void CDataOutputViewEventImp::RetranslateTexts() {}

void CDataOutputViewEventImp::SetExportTarget(const std::wstring& folder,
                                              const std::wstring& fileName) {
    m_exportFolder = folder;
    m_exportFileName = fileName;
}
