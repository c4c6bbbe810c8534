#include "Main/DialogStyles.h"

#include "shell/lang/LanguageTable.h"
#include "toolkit/SFFactory.h"

DialogStyle SkinnedDialogStyle(const DialogPieces& pieces) {
    DialogStyle s;
    s.frameImage = L"bg_toolbar.png";
    s.backgroundImage = L"bg_calendar.png";
    s.backgroundMode = L"tile";
    s.backgroundColor = L"000000";
    for (int i = 0; i < 12; ++i) {
        s.pieces[i].rect = pieces[i];
    }
    s.pieces[0].mode = L"tile";
    s.pieces[1].mode = L"stretch";
    s.fontFamily = L"Tahoma";
    s.titleColor = L"ffffff";
    s.secondColor = L"999999";
    s.titleAlign = L"left";
    s.titleArea = L"20,0,1000,27";
    s.rect57 = L"0,0,-1,-1";
    return s;
}

ImageButtonStyle ButtonFaces(const wchar_t* normal, const wchar_t* hover, const wchar_t* pressed,
                             const wchar_t* disabled) {
    ImageButtonStyle s;
    s.normal = normal;
    s.hover = hover;
    s.pressed = pressed;
    s.disabled = disabled;
    return s;
}

CSFButton* CreateCloseButton(ISFButtonEvent* sink, void* parent, uint32_t id,
                             const ImageButtonStyle& faces, uint32_t style, const tagRECT* rect) {
    CSFButton* button = SFCreateButton(sink);
    if (button != nullptr) {
        button->Create(L"", style, rect, parent, id);
        button->SetSkin(&faces);
        button->SetToolTipText(Translate(L"Close").c_str());
    }
    return button;
}
