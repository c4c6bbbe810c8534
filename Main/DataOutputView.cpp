#include "Main/DataOutputView.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLoggingCategory>

#include <algorithm>

#include "Main/DialogStyles.h"
#include "Main/ExportDlg.h"
#include "Main/MainFrame.h"
#include "Main/MsgDlg.h"
#include "Main/model/SpecSheet.h"
#include "Main/xlsx/ExportLoader.h"
#include "framework/SFModules.h"
#include "framework/SFPost.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFFactory.h"

Q_LOGGING_CATEGORY(lcDataOutput, "tessaro.dataoutput")

namespace {

// Colour values as the static control takes them (SFCOLORREF: red in the low byte).
constexpr SFCOLORREF kPageColour = 0xf0edeb;
constexpr SFCOLORREF kTitleColour = 0xffffff;
constexpr SFCOLORREF kHeaderColour = 0xff8a5b;
constexpr SFCOLORREF kLabelColour = 0x222222;
constexpr SFCOLORREF kValueColour = 0x999999;
constexpr SFCOLORREF kButtonTextColour = 0x333333;

// The toolkit's scroll bar is this wide at every scale; the sheet never runs under it.
constexpr int kScrollBarWidth = 10;

// Shown until the first model is chosen. A model name is data, not a text of the program, so
// it does not pass through the language table.
constexpr wchar_t kPlaceholderModel[] = L"TW-55U18";
constexpr wchar_t kPlaceholderVolume[] = L"1022.05 x 982.32 x 116.3mm";

struct SectionSpec {
    const wchar_t* icon;
    int lineCount;
};
// The six sections in page order; their lines follow one another in kLineFields.
constexpr SectionSpec kSectionSpecs[6] = {{L"body_DISPLAY REQUIREMENTS.png", 3},
                                          {L"body_DISPLAY WALL DIMENSIONS.png", 3},
                                          {L"body_POWER REQUIREMENTS.png", 2},
                                          {L"body_dizuo-muxiang.png", 3},
                                          {L"body_jianshu.png", 3},
                                          {L"body_tuopan.png", 3}};

// The field of SpecSheetValues each line shows, in page order, and its placeholder.
struct LineSpec {
    int field;
    const wchar_t* placeholder;
};
constexpr LineSpec kLineSpecs[SpecSheetValues::kCount] = {
    {kSpecModel, kPlaceholderModel},
    {kSpecTotalDisplays, L"3"},
    {kSpecScreenConfiguration, L"3\u00D71"},
    {kSpecDimensions, L"1211.5\u00D7682.3\u00D7118.3mm"},
    {kSpecDiagonal, L"55 inch"},
    {kSpecWeight, L"31.5kg"},
    {kSpecMaxPower, L"205W"},
    {kSpecTypicalPower, L"205W"},
    {kSpecLampstandVolume, kPlaceholderVolume},
    {kSpecLampstandVolume + 1, L""},
    {kSpecLampstandVolume + 2, L""},
    {kSpecStructureVolume, kPlaceholderVolume},
    {kSpecStructureVolume + 1, L""},
    {kSpecStructureVolume + 2, L""},
    {kSpecTrayVolume, kPlaceholderVolume},
    {kSpecTrayVolume + 1, L""},
    {kSpecTrayVolume + 2, L""},
};

std::array<std::wstring, 6> HeaderTexts() {
    return {Translate(L"DISPLAY REQUIREMENTS"), Translate(L"DISPLAY WALL DIMENSIONS"),
            Translate(L"POWER REQUIREMENTS"),   Translate(L"LAMPSTAND WOODEN BOX"),
            Translate(L"STRUCTURE WOODEN BOX"), Translate(L"PANEL TRAY")};
}

std::array<std::wstring, SpecSheetValues::kCount> LabelTexts() {
    const std::wstring volume = Translate(L"Volume(WxHxD)");
    const std::wstring weight = Translate(L"Weight");
    const std::wstring number = Translate(L"Number");
    return {Translate(L"Model"),
            Translate(L"Total No. of Displays"),
            Translate(L"Screen Configuration(W×H)"),
            Translate(L"Dimensions(W×H×D)"),
            Translate(L"Diagonal"),
            weight,
            Translate(L"Max"),
            Translate(L"Typical"),
            volume,
            weight,
            number,
            volume,
            weight,
            number,
            volume,
            weight,
            number};
}

QWidget* WidgetOf(CSFControl* control) {
    return control != nullptr ? static_cast<QWidget*>(control->GetUIWnd()) : nullptr;
}

void Place(CSFControl* control, int x, int y, int w, int h) {
    if (control != nullptr) {
        control->MoveWindow(x, y, std::max(0, w), std::max(0, h));
    }
}

int Advance(CSFControl* control, const std::wstring& text) {
    const QWidget* w = WidgetOf(control);
    return w != nullptr ? QFontMetrics(w->font()).horizontalAdvance(QString::fromStdWString(text))
                        : 0;
}

// Shows `whole` in the static, ending in "…" where it is wider than `width` pixels; the tool
// tip then holds the whole text (and is empty otherwise).
void ShowFitted(CSFStatic* label, const std::wstring& whole, int width) {
    const QWidget* w = WidgetOf(label);
    if (w == nullptr) {
        return;
    }
    const QString text = QString::fromStdWString(whole);
    const QString shown =
        QFontMetrics(w->font()).elidedText(text, Qt::ElideRight, std::max(0, width));
    label->SetStaticText(shown.toStdWString().c_str(), false);
    label->SetToolTipText(shown == text ? L"" : whole.c_str());
}

// The wait cursor for the life of the object. Pending paint events are handled first (user input
// is not), so the area the dialog covered is drawn again and the cursor reaches the screen before
// the writing blocks the thread.
class BusyCursor {
public:
    BusyCursor() {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Keeps the export's notice until the writing is done: shown at once, the modal message would
// sit under the busy cursor.
class HeldNotice : public IExportMessageSink {
public:
    void ShowMessage(const std::wstring& title, const std::wstring& text) override {
        m_title = title;
        m_text = text;
        m_held = true;
    }
    bool m_held = false;
    std::wstring m_title;
    std::wstring m_text;
};

}  // namespace

SF_BEGIN_MESSAGE_MAP(CDataOutputViewEventImp)
SF_ON_COMMAND(CDataOutputViewEventImp::kExportButton, OnBtnExport)
SF_END_MESSAGE_MAP()

CDataOutputViewEventImp::CDataOutputViewEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)) {
    for (const LineSpec& line : kLineSpecs) {
        m_values.fields[line.field] = line.placeholder;
    }
}

CDataOutputViewEventImp::~CDataOutputViewEventImp() {
    // The dialog's window is a child of the view: it goes first. The view reports to this
    // object, so it must not outlive it (unless its parent took it first).
    m_exportDlg.reset();
    if (!m_viewAlive.isNull()) {
        SFDestroyControl(m_view);
    }
}

int CDataOutputViewEventImp::Create(void* parent) {
    if (m_parent != nullptr || parent == nullptr) {
        return 0;
    }
    // The page and its export dialog cost more to build than anything the first paint shows;
    // they are built when the page is first asked for (BuildView).
    m_parent = parent;
    return 1;
}

void CDataOutputViewEventImp::BuildView() {
    if (m_view != nullptr || m_parent == nullptr) {
        return;  // built already (or its parent destroyed it), or no Create yet
    }
    m_view = SFCreateView(this);
    if (m_view == nullptr) {
        return;
    }
    const tagRECT rect{0, 0, 0, 0};
    m_view->Create(L"", L"", 0, &rect, m_parent, 0);  // builds the page (OnCreate)
    m_viewAlive = WidgetOf(m_view);
    if (m_placed) {
        m_view->MoveWindow(&m_place);  // lays the page out (OnSize)
    } else {
        Layout();
    }
}

void CDataOutputViewEventImp::PlaceView(const tagRECT& rect) {
    m_place = rect;
    m_placed = true;
    if (m_viewAlive) {
        m_view->MoveWindow(&rect);
    }
}

void CDataOutputViewEventImp::OnCreate() {
    if (m_view == nullptr || m_sheet != nullptr) {
        return;
    }
    BuildPage();
    m_exportDlg = std::make_unique<CExportDlgEventImp>(this);
    m_exportDlg->Create(m_view->GetUIWnd());
}

void CDataOutputViewEventImp::BuildPage() {
    m_view->SetBgColor(kPageColour, 1);
    void* view = m_view->GetUIWnd();
    const tagRECT none{0, 0, 0, 0};
    const int textSize = SFScaled(14);

    m_titleBar = SFCreatePictureCtrl(nullptr);
    if (m_titleBar != nullptr) {
        m_titleBar->Create(L"", SF_WS_VISIBLE, &none, view, 0);
        m_titleBar->SetImage(L"bgBlue.png");
    }
    auto text = [&](void* parent, SFCOLORREF colour, bool bold) {
        CSFStatic* s = SFCreateStatic(nullptr);
        if (s != nullptr) {
            s->Create(L"", SF_WS_VISIBLE, &none, parent, 0);
            s->SetTextSize(textSize);
            s->SetTextColor(colour);
            s->SetTextBold(bold ? 1 : 0);
        }
        return s;
    };
    m_title = text(view, kTitleColour, true);

    m_exportButton = SFCreateButton(this);
    if (m_exportButton != nullptr) {
        m_exportButton->Create(L"", SF_WS_VISIBLE, &none, view, kExportButton);
        const ImageButtonStyle faces = ButtonFaces(L"common_excel_n.png", L"common_excel_h.png",
                                                   L"common_excel_h.png", L"common_excel_n.png");
        m_exportButton->SetSkin(&faces);
        m_exportButton->SetTextColor(kButtonTextColour);
        m_exportButton->SetTextSize(SFScaled(12), 0);
        m_exportButton->SetCursor();
    }

    m_sheet = SFCreateScrollArea(nullptr);
    if (m_sheet == nullptr) {
        return;
    }
    m_sheet->Create(SF_WS_VISIBLE, &none, 0, 0, view, 0);
    ScrollAreaStyle sheetStyle;
    sheetStyle.background = L"/bg_calendar.png";
    m_sheet->SetSkin(&sheetStyle);
    void* content = m_sheet->GetUIWnd();
    int line = 0;
    for (std::size_t k = 0; k < m_sections.size(); ++k) {
        Section& section = m_sections[k];
        section.icon = SFCreatePictureCtrl(nullptr);
        if (section.icon != nullptr) {
            section.icon->Create(L"", SF_WS_VISIBLE, &none, content, 0);
            section.icon->SetImage(kSectionSpecs[k].icon);
        }
        section.header = text(content, kHeaderColour, true);
        section.firstLine = line;
        section.lineCount = kSectionSpecs[k].lineCount;
        for (int i = 0; i < section.lineCount; ++i, ++line) {
            m_lines[line].label = text(content, kLabelColour, false);
            m_lines[line].value = text(content, kValueColour, false);
            m_lines[line].field = kLineSpecs[line].field;
            if (m_lines[line].value != nullptr) {
                m_lines[line].value->SetTextAlignFlag(SF_ALIGN_RIGHT | SF_ALIGN_VCENTER);
            }
        }
        if (k + 1 < m_sections.size()) {
            section.separator = SFCreatePictureCtrl(nullptr);
            if (section.separator != nullptr) {
                section.separator->Create(L"", SF_WS_VISIBLE, &none, content, 0);
                section.separator->SetImage(L"bg_lineBg.png");
            }
        }
    }
}

CSFStatic* CDataOutputViewEventImp::ValueControl(int field) const {
    for (const Line& line : m_lines) {
        if (line.field == field) {
            return line.value;
        }
    }
    return nullptr;
}

void CDataOutputViewEventImp::OnSize(uint32_t /*type*/, int /*cx*/, int /*cy*/) {
    Layout();
}

tagRECT CDataOutputViewEventImp::PreviewAreaInPage() const {
    const QPoint origin = m_viewAlive ? m_viewAlive->pos() : QPoint();
    return {kPreviewArea.left - origin.x(), kPreviewArea.top - origin.y(),
            kPreviewArea.right - origin.x(), kPreviewArea.bottom - origin.y()};
}

// The title bar runs across the top, the sheet stands in a column right of the preview area
// and scrolls when it is longer. Where the preview area reaches into the title bar's band (at
// large scales, since the area is not scaled) the bar starts right of it; where there is no room
// right of it (small scales), the sheet goes below it. A line puts its label and value side by
// side when both fit, else the value goes under the label; texts still too wide are shortened.
void CDataOutputViewEventImp::Layout() {
    if (!m_viewAlive || m_sheet == nullptr) {
        return;
    }
    const auto sc = SFScaled;
    const int width = m_viewAlive->width();
    const int height = m_viewAlive->height();
    const int gap = sc(10);
    const int titleHeight = sc(40);
    const tagRECT preview = PreviewAreaInPage();
    const bool beside = width - gap - (preview.right + gap) >= sc(200);
    const bool titleClear = preview.top >= titleHeight + gap;
    int titleLeft = 0, titleTop = 0, sheetLeft = gap, sheetTop = 0;
    if (beside) {
        sheetLeft = preview.right + gap;
        titleLeft = titleClear ? 0 : sheetLeft;
        sheetTop = titleClear ? std::max(titleHeight + gap, preview.top) : titleHeight + gap;
    } else {
        titleTop = titleClear ? 0 : preview.bottom + gap;
        sheetTop = std::max(titleTop + titleHeight, preview.bottom) + gap;
    }

    Place(m_titleBar, titleLeft, titleTop, width - titleLeft, titleHeight);
    const std::wstring buttonText = Translate(L"    Export To Excel");
    const int buttonWidth = std::max(sc(150), Advance(m_exportButton, buttonText) + sc(16));
    const int buttonLeft = width - gap - buttonWidth;
    Place(m_exportButton, buttonLeft, titleTop + (titleHeight - sc(28)) / 2, buttonWidth, sc(28));
    if (m_exportButton != nullptr) {
        m_exportButton->SetWindowTextW(buttonText.c_str());
    }
    const int titleTextLeft = titleLeft + sc(16);
    Place(m_title, titleTextLeft, titleTop, buttonLeft - gap - titleTextLeft, titleHeight);
    ShowFitted(m_title, Translate(L"Specifications"), buttonLeft - gap - titleTextLeft);

    const int sheetWidth = width - gap - sheetLeft;
    Place(m_sheet, sheetLeft, sheetTop, sheetWidth, height - gap - sheetTop);

    const int contentWidth = std::max(0, sheetWidth - kScrollBarWidth);
    const int pad = sc(12);
    const int room = std::max(0, contentWidth - 2 * pad);
    const int icon = sc(24), headerHeight = sc(36), rowHeight = sc(24), lineHeight = sc(20);
    const int spacing = sc(10);
    const std::array<std::wstring, 6> headers = HeaderTexts();
    const std::array<std::wstring, SpecSheetValues::kCount> labels = LabelTexts();
    int y = sc(4);
    for (std::size_t k = 0; k < m_sections.size(); ++k) {
        const Section& section = m_sections[k];
        Place(section.icon, pad, y + (headerHeight - icon) / 2, icon, icon);
        const int headerLeft = pad + icon + sc(8);
        Place(section.header, headerLeft, y, pad + room - headerLeft, headerHeight);
        ShowFitted(section.header, headers[k], pad + room - headerLeft);
        y += headerHeight;
        for (int i = section.firstLine; i < section.firstLine + section.lineCount; ++i) {
            const Line& line = m_lines[i];
            const std::wstring& value = m_values.fields[line.field];
            const int labelWidth = Advance(line.label, labels[i]);
            const int valueWidth = Advance(line.value, value);
            if (labelWidth + spacing + valueWidth <= room) {
                Place(line.label, pad, y, labelWidth + spacing / 2, rowHeight);
                Place(line.value, pad + labelWidth + spacing, y, room - labelWidth - spacing,
                      rowHeight);
                ShowFitted(line.label, labels[i], labelWidth + spacing / 2);
                ShowFitted(line.value, value, room - labelWidth - spacing);
                y += rowHeight;
            } else {
                Place(line.label, pad, y, room, lineHeight);
                Place(line.value, pad, y + lineHeight, room, lineHeight);
                ShowFitted(line.label, labels[i], room);
                ShowFitted(line.value, value, room);
                y += 2 * lineHeight + sc(4);
            }
        }
        y += sc(6);
        if (section.separator != nullptr) {
            Place(section.separator, pad, y, room, std::max(1, sc(1)));
            y += std::max(1, sc(1)) + sc(6);
        }
    }
    m_sheet->ResizeScrollArea(contentWidth, y + sc(4));
}

void CDataOutputViewEventImp::SetProductInfo(const ProductParameter& record) {
    m_record = record;
    m_hasProduct = true;
    ::SetProductInfo(m_values, record);
    Layout();
}

void CDataOutputViewEventImp::SetScreenConfiguration(int columns, int rows) {
    m_columns = columns;
    m_rows = rows;
    ::SetScreenConfiguration(m_values, columns, rows);
    Layout();
}

void CDataOutputViewEventImp::RetranslateTexts() {
    Layout();
    if (m_exportDlg) {
        m_exportDlg->RetranslateTexts();
    }
}

void CDataOutputViewEventImp::SetExportTarget(const std::wstring& folder,
                                              const std::wstring& fileName) {
    m_exportFolder = folder;
    m_exportFileName = fileName;
}

void CDataOutputViewEventImp::OnBtnExport() {
    if (!m_hasProduct) {
        // Only placeholders to write: they would read as the figures of a real model.
        ShowMessage(Translate(L"Attention"), Translate(L"Please choose a display model first."));
        return;
    }
    if (!m_exportDlg) {
        return;
    }
    if (m_exportDlg->DoModal() != 1) {  // centred over the page, modal
        return;
    }
    // The writing runs after this handler has returned and the dialog is gone; a page destroyed
    // meanwhile drops it.
    const bool posted = OrvexBase::SFPostTask(
        OrvexBase::ML_MAIN,
        {".\\Main\\DataOutputView", 669, "&CDataOutputViewEventImp::ExportData",
         "CDataOutputViewEventImp::OnBtnExport", 1},
        weak_from_this(), &CDataOutputViewEventImp::ExportData);
    if (!posted) {
        qCWarning(lcDataOutput, "the export could not be queued: no ML_MAIN loop");
    }
}

void CDataOutputViewEventImp::ExportData() {
    HeldNotice notice;
    {
        const BusyCursor busy;
        // The writer is a module, mapped at the first export rather than at start-up.
        if (const ExportModule* writer = LoadExportModule()) {
            writer->ExportData(m_exportFolder, m_exportFileName, m_values, &notice, &Translate,
                               nullptr);
        } else {  // the loader said why (tessaro.xlsx); nothing was written
            notice.ShowMessage(Translate(L"Attention"), Translate(L"Export failure."));
        }
    }
    if (notice.m_held) {
        ShowMessage(notice.m_title, notice.m_text);
    }
}

void CDataOutputViewEventImp::ShowMessage(const std::wstring& title, const std::wstring& text) {
    if (const auto frame = m_frame.lock()) {
        frame->ShowMessage(title, text);
        return;
    }
    QWidget* owner = m_viewAlive ? m_viewAlive->window() : nullptr;
    ShowMessageBox(text.c_str(), title.c_str(), owner);
}
