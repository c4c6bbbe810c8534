// The real main frame with all its parts, driven as a user drives it (clicks, typed values, keys),
// one test per road; afterwards panel, mirror (WallDesign) and drawing (WallGeometry) agree.
#include <QAbstractButton>
#include <QAction>
#include <QDesktopServices>
#include <QUrl>

#include <tuple>

#include "Main/AboutDlg.h"
#include "Main/DataOutputView.h"
#include "Main/MainFrameFactory.h"
#include "Main/ui/UiTestSupport.h"
#include "Main/view/SFQTEffectView.h"
#include "toolkit/SFSkin.h"

using namespace Qt::Literals::StringLiterals;
using namespace uitest;

namespace {
using Ids = QList<int>;
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void OpenUrl(const QUrl& url) { m_opened = url.toLocalFile(); }

private:
    Frame m_f;
    QString m_opened;

    Panel* P() const { return m_f.P(); }
    QWidget* C(uint32_t id) const { return m_f.C(id); }
    int Num(uint32_t id) const { return m_f.Num(id); }
    CSFQTEffectView* View() const { return static_cast<CSFQTEffectView*>(m_f.frame->Preview()); }
    const WallGeometry& G() const { return m_f.frame->Preview()->Geometry(); }
    const WallDesign& D() const { return m_f.frame->Design(); }
    void PressPreview(int button) const { Click(W(View()->Button(button))); }
    int Checked(uint32_t id) const {
        return static_cast<CSFRadioBox*>(P()->Control(id))->GetCheck();
    }
    // Panel, mirror and drawing tell the same wall.
    void ExpectInStep() const {
        QCoreApplication::processEvents();
        QCOMPARE(QList<int>({Num(Panel::kColumns), D().columns}), QList<int>(2, G().Columns()));
        QCOMPARE(QList<int>({Num(Panel::kRows), D().rows}), QList<int>(2, G().Rows()));
        auto* landscape = static_cast<CSFRadioBox*>(P()->Control(Panel::kLandscape));
        QCOMPARE(QList<int>({landscape->GetCheck(), D().landscape}),
                 QList<int>(2, G().IsLandscape() || !G().HasPanel()));  // no panel: as created
        QCOMPARE(std::tuple(D().wallWidth, D().lampstand, D().metricUnits),
                 std::tuple(G().WallWidth(), G().Lampstand(), G().MetricUnits()));
    }

private Q_SLOTS:
    void init() {
        m_f.Init();
        m_opened.clear();
        QDesktopServices::setUrlHandler(u"file"_s, this, "OpenUrl");
    }
    void cleanup() {
        QDesktopServices::unsetUrlHandler(u"file"_s);
        m_f.Cleanup();
    }

    // Every skin image of the first paint is named to be decoded ahead (the list start-up hands
    // to SFPrefetchSkinImages is complete), and the window looks as with images decoded on the
    // GUI thread.
    void firstPaintImagesDecodedAhead() {
        const std::wstring skin = SFSkinDirectory().toStdWString();
        SFSetSkinPath(skin.c_str());  // nothing decoded yet
        SFPrefetchSkinImages(MainFrameFirstPaintImages());
        m_f.Open();
        QCoreApplication::processEvents();
        QCOMPARE(SFSkinImagesNotPrefetched(), 0);
        const QImage ahead = W(m_f.frame->Window())->grab().toImage();
        SFSetSkinPath(skin.c_str());
        m_f.Open();
        QCOMPARE(W(m_f.frame->Window())->grab().toImage(), ahead);
    }

    // The first catalogue model on the default wall, Fit To Room, feet and back ("Meters" while
    // in metres and "Feet" while in feet change nothing): the wall size spinners, then the
    // preview's labels (model, left gap, width, gap above, height, stand).
    void defaultsFitAndFeet_data() {
        QTest::addColumn<Ids>("clicks");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QString>("shown");
        const int fit = Panel::kFitToRoom, feet = Panel::kFeet;
        const QString metres = u"6.00 2.00 1.00 TW-55U09 0.58m 4.84m 0.32m 0.68m 1.00m"_s;
        const QString feetShown = u"19.69 6.56 3.28 TW-55U09 1.90ft 15.88ft 1.05ft 2.23ft 3.28ft"_s;
        QTest::newRow("defaults, metres in metres")
            << Ids{Panel::kMeters} << QList<int>{1, 1}
            << u"6.00 2.00 1.00 TW-55U09 2.40m 1.21m 0.32m 0.68m 1.00m"_s;
        QTest::newRow("fit to room") << Ids{fit} << QList<int>{4, 1} << metres;
        QTest::newRow("feet") << Ids{fit, feet} << QList<int>{4, 1} << feetShown;
        QTest::newRow("feet in feet") << Ids{fit, feet, feet} << QList<int>{4, 1} << feetShown;
        QTest::newRow("and back") << Ids{fit, feet, Panel::kMeters} << QList<int>{4, 1} << metres;
    }
    void defaultsFitAndFeet() {
        QFETCH(Ids, clicks);
        QFETCH(QList<int>, counts);
        QFETCH(QString, shown);
        for (int id : clicks)
            Click(C(id));
        ExpectInStep();
        QCOMPARE(QList<int>({G().Columns(), G().Rows()}), counts);
        const int metric = shown.endsWith(u'm');
        QCOMPARE(QList<int>({P()->MetricUnits(), Checked(Panel::kMeters), Checked(Panel::kFeet)}),
                 QList<int>({metric, metric, 1 - metric}));
        QVERIFY(
            VisibleTexts(W(P()->View())).contains(metric ? u"Lampstand(m)"_s : u"Lampstand(ft)"_s));
        QStringList texts;
        for (uint32_t id : {Panel::kWallWidth, Panel::kWallHeight, Panel::kLampstand})
            texts << m_f.SpinText(id);
        for (int label : {kLabelModel, kLabelLeftGap, kLabelWallWidth, kLabelGapAbove,
                          kLabelWallHeight, kLabelLampstand})
            texts << View()->LabelText(label);
        QCOMPARE(texts, shown.split(u' '));
    }

    // A new width reaches the preview, which cuts the columns and reports them to the spinners.
    void widthThroughThePanel_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("columns");
        QTest::newRow("wider keeps 4") << u"8"_s << 4;
        QTest::newRow("3 m leaves 2") << u"3"_s << 2;
        QTest::newRow("2 m leaves 1") << u"2"_s << 1;
    }
    void widthThroughThePanel() {
        QFETCH(QString, typed);
        QFETCH(int, columns);
        Click(C(Panel::kFitToRoom));
        Type(C(Panel::kWallWidth), typed);
        QCOMPARE(G().WallWidth(), typed.toDouble());
        QCOMPARE(Num(Panel::kColumns), columns);
        ExpectInStep();
    }

    // Every refusal shows its message once and leaves panel, mirror and drawing as they were.
    void refusals_data() {
        QTest::addColumn<int>("road");
        QTest::addColumn<QString>("message");
        const QString most = Tr(L"The maximum number of displays you can install is ");
        const QString turn = Tr(L"Can not Change Orientation.");
        QTest::newRow("column count") << 0 << most;
        QTest::newRow("lampstand") << 1 << Tr(L"Can not Change Lampstand.");
        QTest::newRow("portrait radio") << 2 << turn;
        QTest::newRow("rotate button") << 3 << turn;
        QTest::newRow("one more column button") << 4 << most;
    }
    void refusals() {
        QFETCH(int, road);
        QFETCH(QString, message);
        Click(C(Panel::kFitToRoom));
        Click(C(Panel::kStepLayout));
        const QList<std::function<void()>> roads = {
            [&] { Type(C(Panel::kColumns), u"9"_s); },
            [&] { m_f.TypeAt(Panel::kStepWallSize, Panel::kLampstand, u"1.5"_s); },
            [&] { Click(C(Panel::kPortrait)); },
            [&] { PressPreview(kButtonRotate); },
            [&] { PressPreview(kButtonMoreColumns); },
        };
        const QString texts = MessageOf(roads[road]);
        QVERIFY2(texts.contains(message), qPrintable(texts));
        QCOMPARE(m_f.SpinText(Panel::kLampstand), u"1.00"_s);
        QCOMPARE(QList<int>({G().Columns(), G().Rows()}), QList<int>({4, 1}));
        ExpectInStep();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    // Without a catalogue the wall has no panel: nothing is drawn, Fit To Room asks for a model,
    // and the data output page (only its placeholder sheet) has nothing to export: no dialog.
    void emptyCatalogue() {
        m_f.frame.reset();
        std::filesystem::remove(m_f.dir->file("ProductParameter.csv"));
        m_f.Open();
        const QString first = Tr(L"Please choose a display model first.");
        QString texts = MessageOf([&] { Click(C(Panel::kFitToRoom)); });
        QVERIFY2(texts.contains(first), qPrintable(texts));
        ExpectInStep();
        QVERIFY(!D().HasModel() && !G().HasPanel());
        QCOMPARE(View()->PanelRect().right, View()->PanelRect().left);  // nothing drawn
        m_f.Tab(111);
        texts = MessageOf([&] { Click(W(m_f.frame->DataOutputView()->ExportButton())); });
        QVERIFY2(texts.contains(first), qPrintable(texts));
    }

    // The data output page shows the preview small; the wall page gets its size back at x 60;
    // the tab of the page shown is the one marked.
    void pageSwitch_data() {
        QTest::addColumn<Ids>("tabs");
        QTest::newRow("data output") << Ids{111};
        QTest::newRow("and back") << Ids{111, 110};
        QTest::newRow("data output twice, back") << Ids{111, 111, 110};
        QTest::newRow("wall page again") << Ids{110};
    }
    void pageSwitch() {
        QFETCH(Ids, tabs);
        Click(C(Panel::kFitToRoom));
        QWidget* preview = W(m_f.frame->Preview());
        const QRect wallPage = preview->geometry();
        for (int id : tabs)
            m_f.Tab(id);
        const bool data = tabs.last() == 111;
        QCOMPARE(preview->geometry(), data ? QRect(0, 0, 672, 378) : wallPage);
        QCOMPARE(wallPage.x(), 60);
        QCOMPARE(W(P()->View())->isVisible(), !data);
        QCOMPARE(W(m_f.frame->DataOutputView()->View())->isVisible(), data);
        QCOMPARE(W(View()->Button(kButtonRotate))->isVisible(), !data);
        const auto marked = [&](uint32_t id) {
            return qobject_cast<QAbstractButton*>(W(ById(W(m_f.frame->ToolBar()->View()), id)))
                ->isChecked();
        };
        QCOMPARE(QPair(marked(110), marked(111)), QPair(!data, data));  // one tab marked
        QCOMPARE(m_f.frame->DataOutputView()->Columns(), tabs.contains(111) ? 4 : 0);
    }

    // The chosen language re-translates every open window (its saving: the dialogs' tests).
    void languageSwitch_data() {
        QTest::addColumn<int>("language");  // the row names the menu entry's key
        QTest::newRow("chinese") << 1;
        QTest::newRow("english") << 0;
    }
    void languageSwitch() {
        QFETCH(int, language);
        m_f.MenuEntry(QString::fromLatin1(QTest::currentDataTag()).toStdWString().c_str());
        QCOMPARE(CurrentLanguage, language);
        const QStringList shown{
            Shown(m_f.frame->Window()), Shown(ById(W(m_f.frame->ToolBar()->View()), 110)),
            Shown(P()->Control(Panel::kFitToRoom)), Shown(m_f.frame->ModelSelectDlg()->Window()),
            Shown(m_f.frame->AboutDlg()->Window())};
        QCOMPARE(shown, QStringList({Tr(L"ProductName"), Tr(L"BluePrint"), Tr(L"  Fit To Room"),
                                     Tr(L"Select Model"), Tr(L"About")}));
        QCOMPARE(shown[1] == u"BluePrint"_s, language == 0);
    }

    // Only "Choose this model" changes the wall and the sheet's record; the close button also
    // gives up the new selection in the list, Escape only closes.
    void modelSelection_data() {
        QTest::addColumn<int>("way");  // 0 close button, 1 Escape, 2 choose
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("selected");  // the list's row afterwards
        QTest::newRow("close button") << 0 << u"TW-55U09"_s << 0;
        QTest::newRow("escape") << 1 << u"TW-55U09"_s << 1;
        QTest::newRow("choose") << 2 << u"TW-55U18"_s << 1;
    }
    void modelSelection() {
        QFETCH(int, way);
        QFETCH(QString, model);
        QFETCH(int, selected);
        m_f.Choose(u"TW-55U18"_s, way);
        CModelSelectDlgEventImp* dlg = m_f.frame->ModelSelectDlg();
        QCOMPARE(QList<int>({dlg->List()->GetFirstSelectedRow(), dlg->CurrentRow()}),
                 QList<int>(2, selected));
        QCOMPARE(dlg->ChosenRow(), way == 2 ? 1 : 0);
        QCOMPARE(QString::fromStdWString(m_f.frame->DataOutputView()->ProductInfo().model), model);
        QCOMPARE(View()->LabelText(kLabelModel), model);
        QCOMPARE(G().PanelWidth(), way == 2 ? 1.211 : 1.21);
        ExpectInStep();
    }

    // Quick clicks on the preview's buttons: every report reaches panel and mirror.
    void rapidClicks_data() {
        QTest::addColumn<Ids>("buttons");
        QTest::addColumn<Ids>("expected");  // columns, rows, landscape
        QTest::newRow("rotate five times") << Ids{4, 4, 4, 4, 4} << Ids{1, 1, 0};
        QTest::newRow("counts up and down") << Ids{0, 0, 0, 2, 2, 2, 1, 3} << Ids{3, 3, 1};
        QTest::newRow("mixed") << Ids{0, 2, 4, 0, 2, 4, 4, 1, 4} << Ids{2, 3, 1};
    }
    void rapidClicks() {
        QFETCH(Ids, buttons);
        QFETCH(Ids, expected);
        Type(C(Panel::kWallHeight), u"6"_s);
        for (int button : buttons)
            PressPreview(button);
        ExpectInStep();
        QCOMPARE(Ids({G().Columns(), G().Rows(), G().IsLandscape() ? 1 : 0}), expected);
    }

    // F1 (and the tool bar's "Help") opens the guide of the language; a missing one says nothing.
    void userGuide_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("opened");  // relative to the application directory
        QTest::newRow("english") << 0 << true << u"/User's Eng Guide.pdf"_s;
        QTest::newRow("chinese") << 1 << true << u"/User's Chn Guide.pdf"_s;
        QTest::newRow("missing guide") << 0 << false << QString();
        QTest::newRow("other language: the folder") << 2 << true << QString();
    }
    void userGuide() {
        QFETCH(int, language);
        QFETCH(bool, present);
        QFETCH(QString, opened);
        CurrentLanguage = language;
        if (present)
            for (const char* guide : {"User's Eng Guide.pdf", "User's Chn Guide.pdf"})
                m_f.dir->write(guide, "%PDF");
        QTest::keyClick(W(m_f.frame->Window()), Qt::Key_F1);
        QCOMPARE(m_opened, present ? QString::fromStdString(m_f.dir->path()) + opened : QString());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
