#include "Main/view/SFQTEffectView.h"

CSFQTEffectView::CSFQTEffectView(ISFEffectViewEvent* sink) : CSFQTWidget(sink), m_geometry(this) {
    SFQt::RegisterWindow(this);
}

CSFQTEffectView::~CSFQTEffectView() {
    m_geometry.SetListener(nullptr);
    SFQt::UnregisterWindow(this);
}

int CSFQTEffectView::Create(const wchar_t* /*className*/, const wchar_t* title, uint32_t style,
                            const tagRECT* rect, void* parent, uint32_t id) {
    setWindowTitle(SFQt::FromW(title));
    ApplyCreate(parent, rect, style, id);
    return 1;
}

void CSFQTEffectView::SetModel(const std::wstring& name, double panelHeight, double panelWidth) {
    m_geometry.SetModel(name, panelHeight, panelWidth);
}
void CSFQTEffectView::SetWallSize(double wallHeight, double wallWidth) {
    m_geometry.SetViewSize(width(), height());
    m_geometry.SetWallSize(wallHeight, wallWidth);
}
int CSFQTEffectView::SetLayout(int columns, int rows) {
    const int done = m_geometry.SetLayout(columns, rows);
    update();
    return done;
}
void CSFQTEffectView::FitToRoom() { m_geometry.FitToRoom(); }
int CSFQTEffectView::ChangeOrientation() { return m_geometry.ChangeOrientation(); }
void CSFQTEffectView::ChangeLampstand(double lampstand) {
    m_geometry.SetViewSize(width(), height());
    m_geometry.ChangeLampstand(lampstand);
}
void CSFQTEffectView::MetersToFeet() { m_geometry.MetersToFeet(); }
void CSFQTEffectView::FeetToMeters() { m_geometry.FeetToMeters(); }

void CSFQTEffectView::OnChangeNum(int which, int count) {
    if (m_pEvent != nullptr) m_pEvent->OnChangeNum(which, count);
}
void CSFQTEffectView::OnChangeOrientation(int landscape) {
    if (m_pEvent != nullptr) m_pEvent->OnChangeOrientation(landscape);
}
void CSFQTEffectView::OnAttention(int code) {
    if (m_pEvent != nullptr) m_pEvent->OnAttention(code);
}
void CSFQTEffectView::OnChangeModel() {
    if (m_pEvent != nullptr) m_pEvent->OnChangeModel();
}
void CSFQTEffectView::OnChangeScrollGeometry(int width, int height) {
    resize(width, height);
    if (m_pEvent != nullptr) m_pEvent->OnChangeScrollGeometry(width, height);
}

CSFEffectView* SFCreateEffectView(ISFEffectViewEvent* sink) {
    return SFQt::Make<CSFQTEffectView>(sink);
}
