// The real main frame with all its parts, driven as a user drives it (clicks, typed values, keys),
// one test per road; afterwards panel, mirror (WallDesign) and drawing (WallGeometry) agree.
#include <QAbstractSpinBox>
#include <QAction>
#include <QDesktopServices>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <memory>
#include <tuple>

#include "Main/AboutDlg.h"
#include "Main/DataOutputView.h"
#include "Main/MainFrame.h"
#include "Main/ModelSelectDlg.h"
#include "Main/ParameterSetting.h"
#include "Main/ToolBar.h"
#include "Main/model/TempAppDir.h"
#include "Main/ui/ModalDriver.h"
#include "Main/view/SFQTEffectView.h"
#include "shell/AppSettings.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFToolkit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using Panel = CParameterSettingEventImp;
using Ids = QList<int>;

// Short names for what every test does with a control or a text.
const auto W = [](CSFControl* c) { return c ? static_cast<QWidget*>(c->GetUIWnd()) : nullptr; };
const auto Click = [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); };
const auto Tr = [](const wchar_t* key) { return QString::fromStdWString(Translate(key)); };
const auto Words = [](const QString& text) { return text.split(u' '); };
QString TextOf(CSFControl* c) {
    wchar_t buffer[200] = {};
    c->GetWindowTextW(buffer, 200);
    return QString::fromWCharArray(buffer);
}
// The toolkit control with that id below root (the tool bar keeps its tabs to itself).
CSFControl* ById(QWidget* root, uint32_t id) {
    for (QWidget* w : root->findChildren<QWidget*>())
        if (auto* c = dynamic_cast<CSFControl*>(w); c != nullptr && c->GetCtrlID() == id)
            return c;
    return nullptr;
}
// Answers the message the action raises with Enter; its texts go to texts.
void MessageOf(const std::function<void()>& action, QString& texts) {
    auto answered = uitest::AnswerNextModal([&](QWidget* w) {
        texts = uitest::VisibleTexts(w).join(u'|').remove(QChar(0x200B));
        QTest::keyClick(w, Qt::Key_Return);
    });
    action();
    QTRY_VERIFY_WITH_TIMEOUT(*answered, 5000);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void OpenUrl(const QUrl& url) { m_opened = url.toLocalFile(); }

private:
    std::unique_ptr<TempAppDir> m_dir;
    std::shared_ptr<CMainFrameEventImp> m_frame;
    QString m_opened;

    Panel* P() const { return m_frame->ParameterPanel(); }
    QWidget* C(uint32_t id) const { return W(P()->Control(id)); }
    CSFQTEffectView* View() const { return static_cast<CSFQTEffectView*>(m_frame->Preview()); }
    const WallGeometry& G() const { return m_frame->Preview()->Geometry(); }
    const WallDesign& D() const { return m_frame->Design(); }
    int Num(uint32_t id) const {
        return static_cast<CSFNumSpiner*>(P()->Control(id))->GetCurrentNum();
    }
    QString SpinText(uint32_t id) const { return static_cast<QAbstractSpinBox*>(C(id))->text(); }
    QWidget* Tab(uint32_t id) const { return W(ById(W(m_frame->ToolBar()->View()), id)); }
    void Type(uint32_t id, const QString& text) const {
        QWidget* box = C(id);
        static_cast<QAbstractSpinBox*>(box)->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    void Open() {
        m_frame = std::make_shared<CMainFrameEventImp>();
        QCOMPARE(m_frame->Create(), 1);
        m_frame->ShowWindow(1);
        QVERIFY(QTest::qWaitForWindowExposed(W(m_frame->Window())));
    }
    void PressPreview(int button) const { Click(W(View()->Button(button))); }
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
        m_dir = std::make_unique<TempAppDir>();
        for (const char* name : {"Lang_0.xml", "Lang_1.xml", "ProductParameter.csv"})
            std::filesystem::copy_file(std::string(TESSARO_APP_DIR) + "/" + name,
                                       m_dir->file(name));
        g_appSettings.SetFilePath(m_dir->file("Config/config.xml"));
        g_appSettings.LoadSettings();  // as start-up: registers the language setting
        SFSetSkinPath(QStringLiteral(TESSARO_APP_DIR "/Skin/").toStdWString().c_str());
        Open();
        m_opened.clear();
        QDesktopServices::setUrlHandler(u"file"_s, this, "OpenUrl");
    }
    void cleanup() {
        QDesktopServices::unsetUrlHandler(u"file"_s);
        m_frame.reset();
        CurrentLanguage = 0;
        ResetLanguageTables();
    }

    // The first catalogue model on the default wall, Fit To Room, feet and back: the width
    // spinner, then the preview's labels (model, left gap, width, gap above, height, stand).
    void defaultsFitAndFeet_data() {
        QTest::addColumn<Ids>("clicks");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QString>("shown");
        const int fit = Panel::kFitToRoom, feet = Panel::kFeet;
        const QString metres = u"6.00 TW-55U09 0.58m 4.84m 0.32m 0.68m 1.00m"_s;
        QTest::newRow("defaults") << Ids{} << QList<int>{1, 1}
                                  << u"6.00 TW-55U09 2.40m 1.21m 0.32m 0.68m 1.00m"_s;
        QTest::newRow("fit to room") << Ids{fit} << QList<int>{4, 1} << metres;
        QTest::newRow("feet") << Ids{fit, feet} << QList<int>{4, 1}
                              << u"19.69 TW-55U09 1.90ft 15.88ft 1.05ft 2.23ft 3.28ft"_s;
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
        QStringList texts{SpinText(Panel::kWallWidth)};
        for (int label : {kLabelModel, kLabelLeftGap, kLabelWallWidth, kLabelGapAbove,
                          kLabelWallHeight, kLabelLampstand})
            texts << View()->LabelText(label);
        QCOMPARE(texts, Words(shown));
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
        Type(Panel::kWallWidth, typed);
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
            [&] { Type(Panel::kColumns, u"9"_s); },
            [&] {
                Click(C(Panel::kStepWallSize));
                Type(Panel::kLampstand, u"1.5"_s);
            },
            [&] { Click(C(Panel::kPortrait)); },
            [&] { PressPreview(kButtonRotate); },
            [&] { PressPreview(kButtonMoreColumns); },
        };
        QString texts;
        MessageOf(roads[road], texts);
        QVERIFY2(texts.contains(message), qPrintable(texts));
        QCOMPARE(SpinText(Panel::kLampstand), u"1.00"_s);
        QCOMPARE(QList<int>({G().Columns(), G().Rows()}), QList<int>({4, 1}));
        ExpectInStep();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    // Without a catalogue the wall has no panel: nothing is drawn, Fit To Room asks for a model.
    void emptyCatalogue() {
        m_frame.reset();
        std::filesystem::remove(m_dir->file("ProductParameter.csv"));
        Open();
        QString texts;
        MessageOf([&] { Click(C(Panel::kFitToRoom)); }, texts);
        QVERIFY2(texts.contains(Tr(L"Please choose a display model first.")), qPrintable(texts));
        ExpectInStep();
        QVERIFY(!D().HasModel() && !G().HasPanel());
        QCOMPARE(View()->PanelRect().right, View()->PanelRect().left);  // nothing drawn
    }

    // The data output page shows the preview small; the wall page gets its size back at x 60.
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
        QWidget* preview = W(m_frame->Preview());
        const QRect wallPage = preview->geometry();
        for (int id : tabs)
            Click(Tab(id));
        const bool data = tabs.last() == 111;
        QCOMPARE(preview->geometry(), data ? QRect(0, 0, 672, 378) : wallPage);
        QCOMPARE(wallPage.x(), 60);
        QCOMPARE(W(P()->View())->isVisible(), !data);
        QCOMPARE(W(m_frame->DataOutputView()->View())->isVisible(), data);
        QCOMPARE(W(View()->Button(kButtonRotate))->isVisible(), !data);
        QCOMPARE(m_frame->DataOutputView()->Columns(), tabs.contains(111) ? 4 : 0);
    }

    // The chosen language re-translates every open window and is saved.
    void languageSwitch_data() {
        QTest::addColumn<int>("language");  // the row names the menu entry's key
        QTest::newRow("chinese") << 1;
        QTest::newRow("english") << 0;
    }
    void languageSwitch() {
        QFETCH(int, language);
        const QString text =
            Tr(QString::fromLatin1(QTest::currentDataTag()).toStdWString().c_str());
        for (QAction* action : W(m_frame->ToolBar()->View())->findChildren<QAction*>())
            if (action->text() == text)
                action->trigger();
        QCOMPARE(CurrentLanguage, language);
        const std::string saved = TempAppDir::read(m_dir->file("Config/config.xml"));
        QVERIFY2(saved.find("value=\"" + std::to_string(language) + "\"") != std::string::npos,
                 saved.c_str());
        const QStringList shown{
            TextOf(m_frame->Window()), TextOf(ById(W(m_frame->ToolBar()->View()), 110)),
            TextOf(P()->Control(Panel::kFitToRoom)), TextOf(m_frame->ModelSelectDlg()->Window()),
            TextOf(m_frame->AboutDlg()->Window())};
        QCOMPARE(shown, QStringList({Tr(L"ProductName"), Tr(L"BluePrint"), Tr(L"  Fit To Room"),
                                     Tr(L"Select Model"), Tr(L"About")}));
        QCOMPARE(shown[1] == u"BluePrint"_s, language == 0);
    }

    // Only "Choose this model" changes the wall and the sheet's record.
    void modelSelection_data() {
        QTest::addColumn<int>("way");  // 0 close button, 1 Escape, 2 choose
        QTest::addColumn<QString>("model");
        QTest::newRow("close button") << 0 << u"TW-55U09"_s;
        QTest::newRow("escape") << 1 << u"TW-55U09"_s;
        QTest::newRow("choose") << 2 << u"TW-55U18"_s;
    }
    void modelSelection() {
        QFETCH(int, way);
        QFETCH(QString, model);
        CModelSelectDlgEventImp* dlg = m_frame->ModelSelectDlg();
        auto answered = uitest::AnswerNextModal([&](QWidget* w) {
            auto* table = static_cast<QTableWidget*>(W(dlg->List()));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                              table->visualItemRect(table->item(1, 0)).center());
            if (way == 1)
                QTest::keyClick(w, Qt::Key_Escape);
            else
                Click(W(dlg->Button(way == 0 ? CModelSelectDlgEventImp::kClose
                                             : CModelSelectDlgEventImp::kChoose)));
        });
        Click(C(Panel::kStepModel));
        Click(C(Panel::kSelectModel));
        QTRY_VERIFY(*answered);
        QCOMPARE(QString::fromStdWString(m_frame->DataOutputView()->ProductInfo().model), model);
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
        Type(Panel::kWallHeight, u"6"_s);
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
                m_dir->write(guide, "%PDF");
        QTest::keyClick(W(m_frame->Window()), Qt::Key_F1);
        QCOMPARE(m_opened, present ? QString::fromStdString(m_dir->path()) + opened : QString());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
