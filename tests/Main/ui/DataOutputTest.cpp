// The "Data output" page through the real main frame, driven as a user drives it; the exported
// workbook is read back with the writer tests' independent reader.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QScrollArea>

#include "Main/DataOutputView.h"
#include "Main/ExportDlg.h"
#include "Main/model/SpecSheet.h"
#include "Main/ui/UiTestSupport.h"
#include "Main/xlsx/ExportModule.h"
#include "Main/xlsx/SheetColumns.h"
#include "support/WallSheet.h"

using namespace Qt::Literals::StringLiterals;
using namespace uitest;

Q_DECLARE_METATYPE(testsupport::WallDescription)

namespace {

// A size with no class, and a model whose name and size text are longer than any sheet is wide.
const QString kLongName = u"TW-46U18-"_s + u"LONG-MODEL-NAME-"_s.repeated(8);
const QString kLongSize = u"46 inch class; "_s + u"45.9 inch viewable diagonal; "_s.repeated(4);
const std::string kExtraRows =
    "TW-65X10,1450x820x90mm,3840x2160,300W,40.0kg,VESA 600x400,24/7,500,1200:1,1mm,2mm,65 inch\n" +
    kLongName.toStdString() + ",1019x574x95mm,1920x1080,155W,21.4kg,VESA,24/7,500,1200:1,1mm,2mm," +
    kLongSize.toStdString() + "\n";

// The independent reader and fixture maker of the writer's tests (tests/Main/xlsx/xlsx_tool.py).
QByteArray Tool(const QStringList& args) {
    QProcess tool;
    tool.start(u"/usr/bin/python3"_s, QStringList{XLSX_TOOL ""_L1} + args);
    return tool.waitForFinished(60000) ? tool.readAllStandardOutput() : QByteArray();
}

}  // namespace

class DataOutputTest : public QObject {
    Q_OBJECT

    Frame m_f;

    CDataOutputViewEventImp* Page() const { return m_f.frame->DataOutputView(); }
    QWidget* C(uint32_t id) const { return m_f.C(id); }
    QStringList Sheet() const {
        QStringList texts;
        for (const std::wstring& field : Page()->Values().fields)
            texts << QString::fromStdWString(field);
        return texts;
    }
    // The sheet shows every value whole, or shortened with the whole text in the tool tip.
    void ExpectShownAsStored() const {
        for (int f = 0; f < static_cast<int>(SpecSheetValues::kCount); ++f) {
            CSFControl* v = Page()->ValueControl(f);
            QCOMPARE(Shown(v).endsWith(QChar(0x2026)) ? W(v)->toolTip() : Shown(v), Sheet()[f]);
        }
    }

private Q_SLOTS:
    void init() {
        m_f.Init(kExtraRows);
        // The export module is looked up in the application directory, as in the build tree.
        std::filesystem::create_symlink(std::string(TESSARO_APP_DIR) + "/" + kExportModuleFile,
                                        m_f.dir->file(kExportModuleFile));
    }
    void cleanup() { m_f.Cleanup(); }

    // The window and tessaro-quote agree: the walls the command line's tests quote, typed into
    // the window as a user would, give the sheet of the shared helper both are compared with.
    void windowAndQuoteAgree_data() {
        QTest::addColumn<testsupport::WallDescription>("wall");
        using Wall = testsupport::WallDescription;  // width, height, lampstand, feet, model row,
                                                    // fit, columns, rows, portrait
        QTest::newRow("7 × 1 laid out") << Wall{9.0, 2.0, 1.0, false, 0, false, 7, 1, false};
        QTest::newRow("fitted in feet") << Wall{19.69, 6.57, 3.3, true, 1, true, 0, 1, false};
        QTest::newRow("fitted in portrait") << Wall{6.0, 4.0, 0.8, false, 2, true, 0, 1, true};
    }
    void windowAndQuoteAgree() {
        QFETCH(testsupport::WallDescription, wall);
        const auto number = [](double v) { return QString::number(v, 'f', 2); };
        if (wall.feet)
            Click(C(Panel::kFeet));
        m_f.TypeAt(Panel::kStepWallSize, Panel::kWallWidth, number(wall.width));
        m_f.TypeAt(Panel::kStepWallSize, Panel::kWallHeight, number(wall.height));
        m_f.TypeAt(Panel::kStepWallSize, Panel::kLampstand, number(wall.lampstand));
        const ProductCatalogue& catalogue = m_f.frame->ModelSelectDlg()->Catalogue();
        m_f.Choose(QString::fromStdWString(CatalogueRecordAt(catalogue, wall.modelRow)->model));
        Click(C(Panel::kStepLayout));
        if (wall.portrait)
            Click(C(Panel::kPortrait));
        if (wall.fit) {
            Click(C(Panel::kFitToRoom));
        } else {
            m_f.TypeAt(Panel::kStepLayout, Panel::kColumns, QString::number(wall.columns));
            m_f.TypeAt(Panel::kStepLayout, Panel::kRows, u"1"_s);
        }
        m_f.Tab(111);
        const testsupport::WallSheet expected = testsupport::SheetForWall(catalogue, wall);
        QVERIFY(expected.messages.empty());
        QCOMPARE(m_f.frame->Design().columns, expected.columns);
        QCOMPARE(m_f.frame->Design().rows, expected.rows);
        for (std::size_t f = 0; f < SpecSheetValues::kCount; ++f)
            QCOMPARE(Sheet()[static_cast<int>(f)],
                     QString::fromStdWString(expected.values.fields[f]));
    }

    // One road per size class: the wall (model, width, height, columns, rows), then the sheet;
    // then another model.
    void figures_data() {
        QTest::addColumn<QString>("road");
        QTest::newRow("class 55: 7 displays give 2 trays of 157.0kg")
            << u"TW-55U18|10|2|7|1|TW-55U18|7|7×1|1211x682x98mm|205W|205W|55 inch|31.5kg|"
               u"1360×1030×1400mm|110.0kg|3|1360×1580×830mm|134.0kg|2|1380×1200×1055mm|157.0kg|2"_s;
        QTest::newRow("class 49: 4 × 2")
            << u"TW-49U18|6|3|4|2|TW-49U18|8|4×2|1075x606x96mm|170W|170W|49 inch|24.6kg|"
               u"1360×1030×1400mm|90.0kg|2|1360×1580×830mm|146.0kg|2|1280×1150×960mm|137.0kg|2"_s;
        QTest::newRow("class 46: 12 displays, structure boxes by 6")
            << u"TW-46U18|6|3|4|3|TW-46U18|12|4×3|1019x574x95mm|155W|155W|46 inch|21.4kg|"
               u"1150×1120×1150mm|80.0kg|2|1160×1490×900mm|170.0kg|2|1280×1150×935mm|131.0kg|3"_s;
        QTest::newRow("a size text with no class")
            << u"TW-65X10|6|2|2|1|TW-65X10|2|2×1|1450x820x90mm|300W|300W|65 inch|40.0kg|"
               u"0×0×0mm|0kg|0|0×0×0mm|0kg|0|0×0×0mm|0kg|0"_s;
    }
    void figures() {
        QFETCH(QString, road);
        const QStringList r = road.split(u'|');
        m_f.Choose(r[0]);
        m_f.TypeAt(Panel::kStepWallSize, Panel::kWallWidth, r[1]);
        m_f.TypeAt(Panel::kStepWallSize, Panel::kWallHeight, r[2]);
        m_f.TypeAt(Panel::kStepLayout, Panel::kColumns, r[3]);
        m_f.TypeAt(Panel::kStepLayout, Panel::kRows, r[4]);
        m_f.Tab(111);
        QCOMPARE(Sheet(), r.mid(5));
        ExpectShownAsStored();
        // Another model shows at once; counts and packaging follow on the next showing.
        m_f.Tab(110);
        const QString other = r[0] == u"TW-46U18"_s ? u"TW-55U18"_s : u"TW-46U18"_s;
        m_f.Choose(other);
        QCOMPARE(Sheet()[kSpecModel], other);
        QCOMPARE(Sheet().mid(1, 2) + Sheet().mid(kSpecLampstandVolume),
                 r.mid(6, 2) + r.mid(5 + kSpecLampstandVolume));
        m_f.Tab(111);
        const WallDesign& wall = m_f.frame->Design();
        QCOMPARE(Sheet()[kSpecTotalDisplays], QString::number(wall.columns * wall.rows));
        QVERIFY(Sheet().mid(kSpecLampstandVolume) != r.mid(5 + kSpecLampstandVolume));
    }

    // At both scales, in English and after the switch to Chinese (which sets every label, header,
    // title, the button and the export dialog again; values stay), with a name and a size text
    // too long for any sheet: no two controls overlap, none reaches into the preview's area or out
    // of its parent, every text fits its control (shortened, the whole text in its tool tip).
    void layout_data() {
        QTest::addColumn<float>("scale");
        QTest::addColumn<int>("language");
        QTest::newRow("scale 1, English") << 1.0f << 0;
        QTest::newRow("scale 1, Chinese") << 1.0f << 1;
        QTest::newRow("scale 2, English") << 2.0f << 0;
        QTest::newRow("scale 2, Chinese") << 2.0f << 1;
    }
    void layout() {
        QFETCH(float, scale);
        QFETCH(int, language);
        SFSetUIScale(scale);
        m_f.Open();
        m_f.Choose(kLongName);
        m_f.Tab(111);
        const QStringList values = Sheet();
        if (language == 1)
            m_f.MenuEntry(L"chinese");
        QCOMPARE(CurrentLanguage, language);
        QWidget* page = W(Page()->View());
        for (const wchar_t* key : {L"Specifications", L"DISPLAY REQUIREMENTS", L"PANEL TRAY",
                                   L"Screen Configuration(W×H)", L"Volume(WxHxD)", L"Number"})
            QVERIFY2(uitest::VisibleTexts(page).contains(Tr(key)), qPrintable(Tr(key)));
        QCOMPARE(Shown(Page()->ExportButton()), Tr(L"    Export To Excel"));
        QCOMPARE(Shown(Page()->ExportDlg()->Window()), Tr(L"Export"));
        QCOMPARE(Sheet(), values);
        auto* sheet = page->findChild<QScrollArea*>();
        QVERIFY(sheet->widget()->width() <= sheet->viewport()->width());
        const tagRECT a = CDataOutputViewEventImp::kPreviewArea;
        const QRect preview = QRect(QPoint(a.left, a.top), QPoint(a.right - 1, a.bottom - 1))
                                  .translated(-page->pos());
        // A picture may be the ground of what lies on it (the title bar under title and button).
        auto ground = [](QWidget* under, QWidget* over) {
            return dynamic_cast<CSFPictureCtrl*>(under) &&
                   under->geometry().contains(over->geometry());
        };
        for (QWidget* parent : {page, sheet->widget()}) {
            QList<QWidget*> kids = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            kids.removeIf([](QWidget* kid) { return !kid->isVisible(); });
            for (QWidget* kid : kids) {
                auto* control = dynamic_cast<CSFControl*>(kid);
                const QString text = control ? Shown(control) : QString();
                const QRect r = kid->geometry();
                QVERIFY2(parent->rect().contains(r) && (parent != page || !r.intersects(preview)),
                         qPrintable(text));
                QVERIFY2(
                    text.isEmpty() || (kid->fontMetrics().horizontalAdvance(text) <= r.width() &&
                                       kid->fontMetrics().height() <= r.height()),
                    qPrintable(text));
                for (QWidget* other : kids)
                    QVERIFY2(other == kid || ground(kid, other) || ground(other, kid) ||
                                 !r.intersects(other->geometry()),
                             qPrintable(text));
            }
        }
        QCOMPARE(Shown(Page()->ValueControl(kSpecModel)).back(), QChar(0x2026));
        QCOMPARE(Shown(Page()->ValueControl(kSpecDiagonal)).back(), QChar(0x2026));
        ExpectShownAsStored();
    }

    // Without the export module the export says it failed, writes nothing and the program runs
    // on. Before the tests that export: once loaded, the module stays for the rest of the process.
    void exportWithoutModule() {
        std::filesystem::remove(m_f.dir->file(kExportModuleFile));
        Click(C(Panel::kFitToRoom));
        m_f.Tab(111);
        auto typed = uitest::AnswerNextModal(
            [](QWidget* dialog) { Click(W(ById(dialog, CExportDlgEventImp::kConfirm))); });
        Click(W(Page()->ExportButton()));
        QVERIFY(*typed);
        const QString texts = MessageOf([] {});
        QVERIFY2(texts.contains(Tr(L"Export failure.")), qPrintable(texts));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QVERIFY(!Page()->ExportFolder().empty() && !Page()->ExportFileName().empty());
        QVERIFY(!std::filesystem::exists(
            ExportTargetPath(Page()->ExportFolder(), Page()->ExportFileName())));
        QVERIFY(!m_f.frame->IsClosing());
    }

    // Button, dialog (a typed name, "OK"), posted task, message: the workbook holds titles and
    // sheet, an existing one keeps its other sheets, a failed export leaves the file as it was.
    void exportThroughTheDialog_data() {
        QTest::addColumn<QString>("fixture");  // what lies at the target before
        QTest::addColumn<QString>("message");
        QTest::newRow("new workbook") << QString() << u"Export success."_s;
        QTest::newRow("existing workbook") << u"rich"_s << u"Export success."_s;
        QTest::newRow("refused: the file stays") << u"protected"_s << u"Export failure."_s;
    }
    void exportThroughTheDialog() {
        QFETCH(QString, fixture);
        QFETCH(QString, message);
        Click(C(Panel::kFitToRoom));
        m_f.Tab(111);
        const QString path = QString::fromStdString(m_f.dir->file("Quote 1.xlsx"));
        if (!fixture.isEmpty())
            Tool({u"make"_s, fixture, path});
        const std::string original = TempAppDir::read(path.toStdString());
        auto typed = uitest::AnswerNextModal([](QWidget* dialog) {
            auto* name = static_cast<QLineEdit*>(W(ById(dialog, CExportDlgEventImp::kFileName)));
            name->selectAll();
            QTest::keyClicks(name, u"Quote 1"_s);
            Click(W(ById(dialog, CExportDlgEventImp::kConfirm)));
        });
        Click(W(Page()->ExportButton()));
        QVERIFY(*typed);
        QVERIFY(TempAppDir::read(path.toStdString()) == original);  // the task has not run yet
        const QString texts = MessageOf([] {});                     // it runs, then its message
        QVERIFY2(texts.contains(Tr(message.toStdWString().c_str())), qPrintable(texts));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        if (message != u"Export success."_s) {
            QVERIFY(TempAppDir::read(path.toStdString()) == original);
            return;
        }
        const QJsonObject book = QJsonDocument::fromJson(Tool({u"dump"_s, path})).object();
        const QJsonObject cells = book[u"cells"_s][book[u"active"_s].toString()].toObject();
        for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
            const QString column = QChar::fromLatin1(SheetColumns::ColumnLetter(c));
            QCOMPARE(cells[column + u'1'][u"v"_s].toString(), Tr(SheetColumns::kTitleKeys[c]));
            QCOMPARE(cells[column + u'2'][u"v"_s].toString(),
                     Sheet()[static_cast<int>(SheetColumns::FieldOfColumn(c))]);
        }
        if (!fixture.isEmpty()) {
            QCOMPARE(book[u"cells"_s][u"Notes"_s][u"A1"_s][u"v"_s].toString(), u"Customer"_s);
            QCOMPARE(book[u"sheets"_s].toArray().size(), 3);  // Notes, Spec, Hidden
        }
    }
};

QTEST_MAIN(DataOutputTest)
#include "DataOutputTest.moc"
