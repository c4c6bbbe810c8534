#include "Main/view/SFQTEffectView.h"

CSFQTEffectView::CSFQTEffectView(ISFEffectViewEvent* sink) : CSFQTWidget(sink) {
    SFQt::RegisterWindow(this);
}

CSFQTEffectView::~CSFQTEffectView() {
    SFQt::UnregisterWindow(this);
}

int CSFQTEffectView::Create(const wchar_t* /*className*/, const wchar_t* title, uint32_t style,
                            const tagRECT* rect, void* parent, uint32_t id) {
    setWindowTitle(SFQt::FromW(title));
    ApplyCreate(parent, rect, style, id);
    return 1;
}

CSFEffectView* SFCreateEffectView(ISFEffectViewEvent* sink) {
    return SFQt::Make<CSFQTEffectView>(sink);
}
