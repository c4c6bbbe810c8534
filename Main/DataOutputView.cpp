#include "Main/DataOutputView.h"

CDataOutputViewEventImp::CDataOutputViewEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)) {}
CDataOutputViewEventImp::~CDataOutputViewEventImp() = default;
int CDataOutputViewEventImp::Create(void* /*parent*/) { return 0; }
void CDataOutputViewEventImp::SetProductInfo(const ProductParameter& record) { m_record = record; }
void CDataOutputViewEventImp::SetScreenConfiguration(int columns, int rows) {
    m_columns = columns;
    m_rows = rows;
}
void CDataOutputViewEventImp::RetranslateTexts() {}
