#include "tools/gallery/ControlGallery.h"

#include <QWidget>

#include <string>
#include <vector>

#include "toolkit/SFFactory.h"

namespace gallery {
namespace {

constexpr uint32_t kVisible = SF_WS_VISIBLE;
constexpr int kWidth = 1380;
constexpr int kHeight = 650;

tagRECT Rect(int x, int y, int w, int h) {
    return tagRECT{x, y, x + w, y + h};
}

std::wstring W(const char* utf8) {
    std::wstring out;
    // The texts here are UTF-8 literals inside the Basic Multilingual Plane.
    for (std::size_t i = 0; utf8[i];) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<wchar_t>(c);
            i += 1;
        } else if ((c >> 5) == 0x6) {
            out += static_cast<wchar_t>(((c & 0x1F) << 6) | (utf8[i + 1] & 0x3F));
            i += 2;
        } else {
            out += static_cast<wchar_t>(((c & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) |
                                        (utf8[i + 2] & 0x3F));
            i += 3;
        }
    }
    return out;
}

DialogStyle GalleryStyle() {
    DialogStyle s;
    s.frameImage = L"bg_toolbar.png";
    s.backgroundImage = L"bg_calendar.png";
    s.backgroundMode = L"tile";
    s.backgroundColor = L"000000";
    const wchar_t* pieces[12] = {L"0,0,10,35", L"30,0,1,35",  L"76,0,10,35", L"0,37,1,30",
                                 L"0,37,1,30", L"0,37,1,30",  L"0,84,10,1",  L"10,84,30,1",
                                 L"85,84,1,1", L"85,37,1,30", L"85,37,1,30", L"85,37,1,30"};
    for (int i = 0; i < 12; ++i) {
        s.pieces[i].rect = pieces[i];
    }
    s.fontFamily = L"Tahoma";
    s.titleColor = L"ffffff";
    s.secondColor = L"999999";
    s.titleAlign = L"left";
    s.titleArea = L"20,0,1000,27";
    s.flag = 1;
    s.rect57 = L"0,0,-1,-1";
    s.initialSize = std::to_wstring(kWidth) + L"," + std::to_wstring(kHeight);
    return s;
}

ImageButtonStyle Faces(const std::wstring& n, const std::wstring& h, const std::wstring& p,
                       const std::wstring& d) {
    ImageButtonStyle s;
    s.normal = n;
    s.hover = h;
    s.pressed = p;
    s.disabled = d;
    return s;
}

}  // namespace

struct ControlGallery::Impl : public ISFDialogEvent,
                              public ISFButtonEvent,
                              public ISFRadioBoxEvent,
                              public ISFComboBoxEvent,
                              public ISFNumSpinerEvent,
                              public ISFDoubleSpinerEvent,
                              public ISFListCtrlEvent,
                              public ISFEditCtrlEvent,
                              public ISFStaticEvent,
                              public ISFPictureCtrlEvent,
                              public ISFMenuEvent {
    CSFDialog* dialog = nullptr;
    CSFMenu* menu = nullptr;
    QPoint menuAt;
    std::vector<CSFControl*> controls;  // children of the dialog: Qt deletes them with it
    std::wstring skinDir;

    ~Impl() override {
        SFDestroyControl(menu);
        SFDestroyControl(dialog);
    }

    void BTN_OnClicked(uint32_t id) override {
        if (id == 105 && menu != nullptr) {
            const QPoint at = static_cast<QWidget*>(dialog->GetUIWnd())->mapToGlobal(menuAt);
            menu->Popup(at.x(), at.y());
        }
    }

    // The tool bar's "Setting" menu: language sub-menu with the checkable languages, help, about.
    void BuildMenu() {
        menu = SFCreateMenu(this);
        const tagRECT r = Rect(0, 0, 0, 0);
        menu->Create(0, &r, Parent(), 105);
        CSFMenu* language = menu->AddMenu(W("Language / 语言").c_str());
        if (language != nullptr) {
            language->AddAction(L"chinese", 113);
            language->AddAction(L"english", 114);
            language->SetActionCheckable(114, 1);
            language->SetActionChecked(114, 1);
        }
        menu->AddSeparator();
        menu->AddAction(W("Help / 帮助").c_str(), 109);
        menu->AddSeparator();
        menu->AddAction(W("About / 关于").c_str(), 108);
    }

    void* Parent() { return dialog->GetUIWnd(); }

    template <class T>
    T* Keep(T* control) {
        controls.push_back(control);
        return control;
    }

    void Label(const char* text, int x, int y, int w, int h, SFCOLORREF colour, int size,
               bool bold = false) {
        CSFStatic* s = Keep(SFCreateStatic(this));
        const tagRECT r = Rect(x, y, w, h);
        s->Create(W(text).c_str(), kVisible, &r, Parent(), 0);
        s->SetTextColor(colour);
        s->SetTextSize(size);
        s->SetTextBold(bold ? 1 : 0);
    }

    // The data sheet's first group as the page shows it: a view inside a scroll area, taller
    // than the area so its scroll bar shows.
    void SheetInScrollArea(int x, int y, int w, int h) {
        CSFScrollArea* area = Keep(SFCreateScrollArea(nullptr));
        const tagRECT areaRect = Rect(x, y, w, h);
        const int contentHeight = 150;
        area->Create(kVisible, &areaRect, w - 14, contentHeight, Parent(), 0);
        CSFView* view = Keep(SFCreateView(nullptr));
        const tagRECT viewRect = Rect(0, 0, w - 14, contentHeight);
        view->Create(L"", L"", kVisible, &viewRect, area->GetUIWnd(), 0);
        view->SetBgColor(SFRGB(0xff, 0xff, 0xff), 1);
        const char* rows[][2] = {{"DISPLAY REQUIREMENTS", ""},    {"Model", "QXM480VQX-RT"},
                                 {"屏幕配置(W×H)", "4×2"},        {"Total Displays", "8"},
                                 {"Diagonal", "55\" (1387.8mm)"}, {"Weight", "31.5kg"}};
        for (int i = 0; i < 6; ++i) {
            const bool title = i == 0;
            LabelIn(view->GetUIWnd(), rows[i][0], 4, 2 + i * 24, title ? 240 : 130, 20,
                    title ? SFRGB(0xff, 0x8a, 0x5b) : SFRGB(0x22, 0x22, 0x22), 14);
            if (!title) {
                LabelIn(view->GetUIWnd(), rows[i][1], 140, 2 + i * 24, 200, 20,
                        SFRGB(0x99, 0x99, 0x99), 14);
            }
        }
    }

    void LabelIn(void* parent, const char* text, int x, int y, int w, int h, SFCOLORREF colour,
                 int size) {
        CSFStatic* s = Keep(SFCreateStatic(this));
        const tagRECT r = Rect(x, y, w, h);
        s->Create(W(text).c_str(), kVisible, &r, parent, 0);
        s->SetTextColor(colour);
        s->SetTextSize(size);
    }

    void Heading(const char* text, int x, int y) {
        Label(text, x, y, 520, 18, SFRGB(255, 138, 91), 13, true);
    }

    CSFButton* Button(const char* text, const tagRECT& r, const ImageButtonStyle& faces,
                      SFCOLORREF colour, uint32_t id = 500, bool enabled = true) {
        CSFButton* b = Keep(SFCreateButton(this));
        b->Create(W(text).c_str(), kVisible, &r, Parent(), id);
        b->SetSkin(&faces);
        b->SetTextColor(colour);
        b->EnableWindow(enabled ? 1 : 0);
        return b;
    }

    // A face button without caption (tool bar and preview icons), at the image's own size.
    void IconButton(const std::wstring& normal, const std::wstring& hover, int x, int y, int w,
                    int h, const char* tip, uint32_t id = 500) {
        CSFButton* b = Button("", Rect(x, y, w, h), Faces(normal, hover, hover, normal), 0, id);
        b->SetToolTipText(W(tip).c_str());
    }

    CSFRadioBox* Radio(const char* text, const tagRECT& r, const std::wstring& checked,
                       const std::wstring& unchecked, bool on, SFCOLORREF colour,
                       SFCOLORREF selected, int size) {
        CSFRadioBox* radio = Keep(SFCreateRadioBox(this));
        radio->Create(W(text).c_str(), kVisible, &r, Parent(), 600);
        ImageRadioBox faces;
        faces.checked = checked;
        faces.unchecked = unchecked;
        radio->SetSkin(&faces);
        radio->SetCheck(on ? 1 : 0);
        radio->SetTextColor(colour);
        radio->SetSelectedTextColor(selected);
        radio->SetTextSize(size);
        return radio;
    }

    void StepHeaders(const char* const titles[4], int open, int y) {
        for (int k = 0; k < 4; ++k) {
            const std::wstring n = std::to_wstring(k + 1);
            CSFRadioBox* r = Radio(titles[k], Rect(20 + k * 200, y, 180, 69),
                                   L"common_step" + n + L"_h.png", L"common_step" + n + L"_n.png",
                                   k == open, SFRGB(136, 136, 136), SFRGB(34, 34, 34), 12);
            r->SetTextOffset(46, 0);
            r->SetTextAlign(SF_ALIGN_LEFT | SF_ALIGN_VCENTER);
        }
    }

    void Switch(const char* left, const char* right, bool leftOn, int x, int y) {
        for (int half = 0; half < 2; ++half) {
            const bool on = (half == 0) == leftOn;
            const std::wstring suffix = half == 0 ? L"_m.png" : L"_ft.png";
            CSFRadioBox* r = Radio(half == 0 ? left : right, Rect(x + half * 65, y, 65, 27),
                                   L"common_check" + suffix, L"common_uncheck" + suffix, on,
                                   SFRGB(102, 102, 102), SFRGB(63, 111, 230), 12);
            r->SetTextAlign(SF_ALIGN_CENTER);
        }
    }

    ImageNumSpinerStyle SpinnerFaces() {
        ImageNumSpinerStyle s;
        s.frameImage = L"kuang2_nor.png";
        s.downNormal = L"spiner_down_n.png";
        s.downHover = L"spiner_down_h.png";
        s.downPressed = L"spiner_down_p.png";
        s.downDisabled = L"spiner_down_d.png";
        s.upNormal = L"spiner_up_n.png";
        s.upHover = L"spiner_up_h.png";
        s.upPressed = L"spiner_up_p.png";
        s.upDisabled = L"spiner_up_d.png";
        return s;
    }

    void DoubleSpinner(double value, int x, int y, bool enabled = true) {
        CSFDoubleSpiner* s = Keep(SFCreateDoubleSpiner(this));
        const tagRECT r = Rect(x, y, 100, 18);
        s->Create(L"", &r, Parent(), 206);
        s->SetRange(2.0, 60.0);
        s->SetCurrentNum(value);
        const ImageNumSpinerStyle faces = SpinnerFaces();
        s->SetSkin(&faces);
        s->EnableWindow(enabled ? 1 : 0);
        s->ShowWindow(1);
    }

    void NumSpinner(int value, int x, int y) {
        CSFNumSpiner* s = Keep(SFCreateNumSpiner(this));
        const tagRECT r = Rect(x, y, 100, 18);
        s->Create(L"", &r, Parent(), 212);
        s->SetRange(1, 1000);
        s->SetCurrentNum(value);
        const ImageNumSpinerStyle faces = SpinnerFaces();
        s->SetSkin(&faces);
        s->ShowWindow(1);
    }

    void Combo(const std::vector<const char*>& entries, int selected, int x, int y, bool enabled) {
        CSFComboBox* c = Keep(SFCreateComboBox(this));
        const tagRECT r = Rect(x, y, 134, 17);
        c->Create(kVisible, &r, Parent(), 215);
        ImageComboBoxStyle s;
        s.image = L"ComboBox_134.png";
        const wchar_t* rects[7] = {L"0,0,134,17",  L"0,18,134,17", L"0,36,134,17", L"0,36,134,17",
                                   L"0,54,134,17", L"0,0,134,17",  L"0,28,134,17"};
        for (int i = 0; i < 7; ++i) {
            s.stateRects[i] = rects[i];
        }
        c->SetSkin(&s);
        for (const char* e : entries) {
            c->AddString(W(e).c_str());
        }
        c->SetCurSel(selected);
        c->EnableWindow(enabled ? 1 : 0);
    }

    void Edit(const char* text, int x, int y, int w, bool readOnly) {
        CSFEditCtrl* e = Keep(SFCreateEditCtrl(this));
        const tagRECT r = Rect(x, y, w, 26);
        e->Create(kVisible, &r, Parent(), 700, 0);
        e->SetWindowTextW(W(text).c_str());
        e->SetReadOnly(readOnly ? 1 : 0);
    }

    void Picture(const wchar_t* image, int x, int y, int w, int h) {
        CSFPictureCtrl* p = Keep(SFCreatePictureCtrl(this));
        const tagRECT r = Rect(x, y, w, h);
        p->Create(L"", kVisible, &r, Parent(), 0);
        p->SetImage((skinDir + image).c_str());
    }

    void ModelList(int x, int y) {
        CSFListCtrl* list = Keep(SFCreateListCtrl(this));
        const tagRECT r = Rect(x, y, 539, 170);
        list->Create(kVisible, &r, Parent(), 800, 0);
        const char* headers[6] = {"Model",       "Brightness",     "Contrast",
                                  "Bezel Width", "Bezel-to-bezel", "Size"};
        const double share[6] = {0.23, 0.17, 0.15, 0.19, 0.16, 0.05};
        for (int c = 0; c < 6; ++c) {
            list->InsertColumn(c, W(headers[c]).c_str(), SF_ALIGN_LEFT | SF_ALIGN_VCENTER,
                               static_cast<int>(539 * share[c]), c);
        }
        const char* rows[5][6] = {
            {"QXM480VQX-RT", "500 nits", "1200:1", "1.8mm", "3.5mm", "55\""},
            {"QXM490VQX-ST", "700 nits", "1100:1", "0.9mm", "1.8mm", "55\""},
            {"QXM460VQX-LT", "450 nits", "4000:1", "1.7mm", "3.5mm", "49\""},
            {"QXM470 超窄边", "500 尼特", "1200:1", "1.7mm", "3.5mm", "46\""},
            {"QXM420VQX-HB", "800 nits", "1300:1", "2.3mm", "4.6mm", "55\""},
        };
        for (int row = 0; row < 5; ++row) {
            list->InsertItem(row, W(rows[row][0]).c_str());
            for (int c = 1; c < 6; ++c) {
                list->SetItemText(row, c, W(rows[row][c]).c_str());
            }
        }
        list->SetShowGrid(0);
        list->SetRowSelected(1);
    }

    int Dlg_OnInit(int created) override {
        if (!created) {
            return 1;
        }
        IconButton(L"close-normal.png", L"close-hover.png", kWidth - 34, 6, 24, 24, "Close");

        Heading("Step headers / 步骤", 20, 44);
        const char* en[4] = {"Define Wall Size", "Choose Model", "Display Layout",
                             "Content Configuration"};
        const char* zh[4] = {"定义墙面尺寸", "选择型号", "显示布局", "内容配置"};
        StepHeaders(en, 0, 64);
        StepHeaders(zh, 2, 140);

        Heading("Switches, spinners, combo boxes / 选项、数值、下拉框", 20, 222);
        Switch("Meters", "Feet", true, 20, 244);
        Switch("米", "英尺", false, 160, 244);
        Switch("Landscape", "Portrait", true, 300, 244);
        Switch("横向", "纵向", false, 440, 244);
        Label("Width(m)", 20, 282, 70, 22, SFRGB(102, 102, 102), 12);
        DoubleSpinner(6.0, 100, 284);
        Label("高(米)", 220, 282, 70, 22, SFRGB(102, 102, 102), 12);
        DoubleSpinner(2.0, 300, 284);
        Label("Colums", 420, 282, 60, 22, SFRGB(102, 102, 102), 12);
        NumSpinner(4, 480, 284);
        Label("Disabled", 600, 282, 60, 22, SFRGB(153, 153, 153), 12);
        DoubleSpinner(1.0, 670, 284, false);
        Combo({"Default Image 1", "Default Image 2", "No Image", "Sample Video"}, 0, 20, 318, true);
        Combo({"默认图片 1", "默认图片 2", "无图片", "示例视频"}, 1, 170, 318, true);
        Combo({"Sample Video"}, 0, 320, 318, false);

        Heading("Buttons / 按钮", 20, 350);
        Button("  Fit To Room", Rect(20, 372, 119, 27),
               Faces(L"common_FIT TO ROOM_n.png", L"common_FIT TO ROOM_h.png",
                     L"common_FIT TO ROOM_h.png", L""),
               SFRGB(255, 255, 255));
        Button("  适应房间", Rect(150, 372, 119, 27),
               Faces(L"common_FIT TO ROOM_h.png", L"common_FIT TO ROOM_h.png",
                     L"common_FIT TO ROOM_h.png", L""),
               SFRGB(255, 255, 255));
        Button("Select Model", Rect(280, 372, 100, 27),
               Faces(L"common_Select Model_n.png", L"common_Select Model_h.png", L"", L""),
               SFRGB(91, 138, 255));
        Button("选择型号", Rect(390, 372, 100, 27),
               Faces(L"common_Select Model_h.png", L"common_Select Model_h.png", L"", L""),
               SFRGB(91, 138, 255));
        Button(
            "Choose this model", Rect(500, 372, 139, 27),
            Faces(L"box_choose_bg_n.png", L"box_choose_bg_h.png", L"box_choose_bg_nmage1.png", L""),
            SFRGB(255, 255, 255));
        Button("选择此型号", Rect(650, 372, 139, 27),
               Faces(L"box_choose_bg_nmage1.png", L"box_choose_bg_nmage1.png",
                     L"box_choose_bg_nmage1.png", L""),
               SFRGB(255, 255, 255));
        const ImageButtonStyle ok =
            Faces(L"btn_01_n.png", L"btn_01_h.png", L"btn_01_p.png", L"btn_01_d.png");
        Button("OK", Rect(20, 410, 80, 28), ok, SFRGB(0, 0, 0), 1);
        Button("确定", Rect(110, 410, 80, 28),
               Faces(L"btn_01_h.png", L"btn_01_h.png", L"btn_01_p.png", L"btn_01_d.png"),
               SFRGB(0, 0, 0));
        Button("Brown", Rect(200, 410, 80, 28),
               Faces(L"btn_01_p.png", L"btn_01_p.png", L"btn_01_p.png", L"btn_01_d.png"),
               SFRGB(0, 0, 0));
        Button("Cancel", Rect(290, 410, 80, 28), ok, SFRGB(0, 0, 0), 2, false);
        Button("    Export To Excel", Rect(390, 410, 150, 28),
               Faces(L"common_excel_n.png", L"common_excel_h.png", L"common_excel_h.png", L""),
               SFRGB(34, 34, 34));
        Button("    导出到 Excel", Rect(550, 410, 150, 28),
               Faces(L"common_excel_h.png", L"common_excel_h.png", L"common_excel_h.png", L""),
               SFRGB(34, 34, 34));

        Heading("Tool bar and wall preview / 工具栏与预览", 20, 452);
        Picture(L"logo.png", 20, 474, 32, 32);
        Label("Tessaro", 60, 474, 90, 32, SFRGB(0x34, 0x34, 0x34), 14, true);
        CSFRadioBox* tab =
            Radio("BluePrint", Rect(150, 472, 120, 36), L"tab_BluePrint_h.png",
                  L"tab_BluePrint_n.png", true, SFRGB(102, 102, 102), SFRGB(63, 111, 230), 13);
        tab->SetTextOffset(32, 0);
        tab->SetTextAlign(SF_ALIGN_LEFT | SF_ALIGN_VCENTER);
        tab = Radio("数据输出", Rect(275, 472, 120, 36), L"tab_Dataoutput_h.png",
                    L"tab_Dataoutput_n.png", false, SFRGB(102, 102, 102), SFRGB(63, 111, 230), 13);
        tab->SetTextOffset(32, 0);
        tab->SetTextAlign(SF_ALIGN_LEFT | SF_ALIGN_VCENTER);
        const struct {
            const wchar_t* n;
            const wchar_t* h;
            int w;
            const char* tip;
        } tools[] = {
            {L"down_n.png", L"down_h.png", 16, "Setting"},
            {L"down_h.png", L"down_h.png", 16, "Setting"},
            {L"doubt_nor.png", L"doubt_hov.png", 16, "Help"},
            {L"export_hov.png", L"export_pre.png", 16, "Save"},
            {L"btn_maximize_p.png", L"btn_maximize_h.png", 16, "Max"},
            {L"exchangea_nor.png", L"exchangezhong_nor.png", 28, "Language switching"},
            {L"exchangezhong_nor.png", L"exchangea_nor.png", 28, "Language switching"},
            {L"common_min_n.png", L"common_min_h.png", 15, "Min"},
            {L"common_min_h.png", L"common_min_h.png", 15, "Min"},
            {L"common_close_n.png", L"common_close_h.png", 15, "Close"},
            {L"common_close_h.png", L"common_close_h.png", 15, "Close"},
        };
        int x = 410;
        for (const auto& t : tools) {
            const bool setting = x == 410;
            IconButton(t.n, t.h, x, 482, t.w, t.w == 28 ? 16 : t.w, t.tip, setting ? 105 : 500);
            if (setting) {
                menuAt = QPoint(x, 482 + t.w + 4);
            }
            x += t.w + 12;
        }
        BuildMenu();
        const wchar_t* bodies[9][2] = {
            {L"body_add_n.png", L"body_add_h.png"},
            {L"body_add_h.png", L"body_add_h.png"},
            {L"body_less_n.png", L"body_less_h.png"},
            {L"body_less_h.png", L"body_less_h.png"},
            {L"body_rotating_n.png", L"body_rotating_h.png"},
            {L"body_rotating_h.png", L"body_rotating_h.png"},
            {L"body_choose_n.png", L"body_choose_h.png"},
            {L"body_choose_h.png", L"body_choose_h.png"},
            {L"body_choose.png", L"body_choose.png"},
        };
        for (int i = 0; i < 9; ++i) {
            IconButton(bodies[i][0], bodies[i][1], 20 + i * 38, 520, 28, 28, "");
        }
        const wchar_t* sections[6] = {L"body_DISPLAY REQUIREMENTS.png",
                                      L"body_DISPLAY WALL DIMENSIONS.png",
                                      L"body_POWER REQUIREMENTS.png",
                                      L"body_dizuo-muxiang.png",
                                      L"body_jianshu.png",
                                      L"body_tuopan.png"};
        for (int i = 0; i < 6; ++i) {
            Picture(sections[i], 380 + i * 34, 522, 24, 24);
        }
        SheetInScrollArea(20, 556, 380, 88);

        const int rx = 830;
        Heading("Model selection / 型号选择", rx, 44);
        Label("QXM480VQX-RT", rx, 64, 300, 20, SFRGB(91, 138, 255), 17);
        Picture(L"box_model_bg.png", rx, 92, 199, 119);
        Label("Dimension:1213x684", rx + 215, 98, 300, 20, SFRGB(153, 153, 153), 12);
        Label("Resolution:1920x1080", rx + 215, 122, 300, 20, SFRGB(153, 153, 153), 12);
        Label("功耗:205W", rx + 215, 146, 300, 20, SFRGB(153, 153, 153), 12);
        Label("Weight:31.5kg", rx + 215, 170, 300, 20, SFRGB(153, 153, 153), 12);
        ModelList(rx, 222);

        Heading("Export / 导出", rx, 410);
        Label("Path", rx, 432, 80, 28, SFRGB(34, 34, 34), 14);
        Label("文件名", rx, 468, 80, 28, SFRGB(34, 34, 34), 14);
        Edit("/home/user/Tessaro", rx + 90, 433, 260, true);
        Edit("DataConfig 数据配置", rx + 90, 469, 260, false);
        Button("Brown", Rect(rx + 360, 432, 80, 28), ok, SFRGB(0, 0, 0), 303);
        Picture(L"AboutPic.png", rx, 520, 300, 90);
        return 1;
    }
};

ControlGallery::ControlGallery() : m_impl(std::make_unique<Impl>()) {}
ControlGallery::~ControlGallery() = default;

QWidget* ControlGallery::Build() {
    Impl& g = *m_impl;
    g.skinDir = std::wstring(SFSkinDirectory().toStdWString());
    g.dialog = SFCreateDialog(&g, nullptr, 0);
    if (!g.dialog) {
        return nullptr;
    }
    const DialogStyle style = GalleryStyle();
    g.dialog->SetSkin(&style);
    g.dialog->SetTitleToTopDistance(9);
    g.dialog->Create(W("Tessaro controls / 控件一览").c_str(), nullptr);
    g.dialog->SetDrawBackGround(1);
    return static_cast<QWidget*>(g.dialog->GetUIWnd());
}

QImage ControlGallery::MenuPicture() {
    if (m_impl->menu == nullptr) {
        return QImage();
    }
    auto* widget = static_cast<QWidget*>(m_impl->menu->GetUIWnd());
    widget->ensurePolished();
    widget->adjustSize();
    return widget->grab().toImage();
}

QPoint ControlGallery::MenuPosition() const {
    return m_impl->menuAt;
}

}  // namespace gallery
