#include "Main/model/WallDesignEditor.h"

WallDesignEditor::WallDesignEditor(IWallPreview& preview, IWallDesignView& view)
    : m_preview(preview), m_view(view) {}

void WallDesignEditor::ApplyWallSize(double width, double height) {
    m_preview.SetWallSize(height, width);
    m_design.wallHeight = height;
    m_design.wallWidth = width;
}

void WallDesignEditor::ApplyModel(const std::wstring& name, double widthMm, double heightMm) {
    m_view.ShowModelName(name);
    const MountedPanel panel = m_design.ApplyModelMillimetres(widthMm, heightMm);
    m_preview.SetModel(name, panel.height, panel.width);
}

void WallDesignEditor::ApplyCount(int which, int count) {
    const bool columns = which == 1;
    int& stored = columns ? m_design.columns : m_design.rows;
    if (m_preview.SetLayout(columns ? count : 0, columns ? 0 : count) == 1) {
        if (count != 0) {
            stored = count;
        }
        return;
    }
    m_view.ShowCount(which, stored);
    OnAttention(kAttentionMaxDisplays);
}

int WallDesignEditor::ApplyLampstand(double height) {
    if (m_design.LampstandFits(height)) {
        m_preview.ChangeLampstand(height);
        m_design.lampstand = height;
        return 1;
    }
    m_view.ShowLampstand(m_design.lampstand);
    OnAttention(kAttentionLampstand);
    return 0;
}

int WallDesignEditor::ApplyOrientationChange() {
    return m_preview.ChangeOrientation() > 0 ? 1 : 0;
}

void WallDesignEditor::ApplyMetersToFeet() {
    m_design.MetersToFeet();
    m_preview.MetersToFeet();
}

void WallDesignEditor::ApplyFeetToMeters() {
    m_design.FeetToMeters();
    m_preview.FeetToMeters();
}

void WallDesignEditor::ApplyFitToRoom() {
    m_preview.FitToRoom();
}

void WallDesignEditor::OnChangeNum(int which, int count) {
    m_design.OnChangeNum(which, count);
    m_view.ShowCount(which, count);
}

void WallDesignEditor::OnChangeOrientation(int landscape) {
    m_design.OnChangeOrientation(landscape);
    m_view.ShowOrientation(m_design.landscape);
}

void WallDesignEditor::OnAttention(int code) {
    const std::wstring text = m_design.AttentionText(code);
    if (!text.empty()) {
        m_view.ShowMessage(WallDesign::AttentionTitle(), text);
    }
}
