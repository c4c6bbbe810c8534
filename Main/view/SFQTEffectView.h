#pragma once
// The Qt implementation of the wall preview (its drawing comes with the preview itself).
#include "Main/view/SFEffectView.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QWidget>

class CSFQTEffectView : public SFQt::CSFQTWidget<QWidget, CSFEffectView>,
                        private IWallGeometryEvent {
public:
    explicit CSFQTEffectView(ISFEffectViewEvent* sink);
    ~CSFQTEffectView() override;
    int Create(const wchar_t* className, const wchar_t* title, uint32_t style, const tagRECT* rect,
               void* parent, uint32_t id) override;
    void Invalidate() override { update(); }

    // IWallPreview: the geometry's operations, then a repaint.
    void SetModel(const std::wstring& name, double panelHeight, double panelWidth) override;
    void SetWallSize(double wallHeight, double wallWidth) override;
    int SetLayout(int columns, int rows) override;
    void FitToRoom() override;
    int ChangeOrientation() override;
    void ChangeLampstand(double lampstand) override;
    void MetersToFeet() override;
    void FeetToMeters() override;

    const WallGeometry& Geometry() const override { return m_geometry; }

private:
    // The geometry's notifications, forwarded to the sink.
    void OnChangeNum(int which, int count) override;
    void OnChangeOrientation(int landscape) override;
    void OnAttention(int code) override;
    void OnChangeModel() override;
    void OnChangeScrollGeometry(int width, int height) override;
    void OnRedraw() override { update(); }

    WallGeometry m_geometry;
};
