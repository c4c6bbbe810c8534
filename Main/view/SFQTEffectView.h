#pragma once
// The Qt implementation of the wall preview (its drawing comes with the preview itself).
#include "Main/view/SFEffectView.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QWidget>

class CSFQTEffectView : public SFQt::CSFQTWidget<QWidget, CSFEffectView> {
public:
    explicit CSFQTEffectView(ISFEffectViewEvent* sink);
    ~CSFQTEffectView() override;
    int Create(const wchar_t* className, const wchar_t* title, uint32_t style, const tagRECT* rect,
               void* parent, uint32_t id) override;
    void Invalidate() override { update(); }
};
