// The parameter panel and the model selection dialog, each alone (no main frame behind them),
// driven with simulated clicks and keys.
#include <QAbstractSpinBox>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <memory>

#include "Main/ui/UiTestSupport.h"

using namespace uitest;

namespace {

using Dlg = CModelSelectDlgEventImp;
using L = QList<uint>;

const auto SpinText = [](CSFControl* c) { return static_cast<QAbstractSpinBox*>(W(c))->text(); };

// A header line (skipped), then three models; the third has a resolution far wider than its
// label, with characters outside the Basic Multilingual Plane where the cut may fall.
const std::string kCatalogue =
    "Model,Dimension,Resolution,Power Consumption,Weight,Mounting,Hours,Brightness,Contrast,"
    "Bezel Width,Bezel-to-bezel,Size\n"
    "TW-A,1213x684,1920x1080,190W,29.8kg,VESA,24/7,450 cd/m2,1100:1,2.3mm,3.5mm,55 inch\n"
    "TW-B,1211x682,3840x2160,205W,31.5kg,VESA,24/7,500 cd/m2,1200:1,1.2mm,1.8mm,55 inch\n"
    "TW-C,1215x686,Native 3840x2160 \xF0\x9D\x95\x8F\xF0\x9D\x95\x8F\xF0\x9D\x95\x8F with "
    "scaling from every input \xF0\x9D\x95\x8F\xF0\x9D\x95\x8F\xF0\x9D\x95\x8F\xF0\x9D\x95\x8F"
    " up to 60 Hz,175W,28.0kg,VESA,18/7,450 cd/m2,1100:1,3.5mm,5.3mm,55 inch\n";

// A panel 1000 x 118 in a shown host, as the main frame places it.
struct PanelFixture {
    QWidget host;
    Panel panel{std::weak_ptr<CMainFrameEventImp>()};
    PanelFixture() {
        panel.Create(&host);
        panel.View()->MoveWindow(0, 0, 1000, 118);
        panel.View()->ShowWindow(1);
        host.show();
    }
    CSFControl* C(uint32_t id) const { return panel.Control(id); }
    void ClickAll(const L& ids) const {
        std::ranges::for_each(ids, [&](uint id) { Click(W(C(id))); });
    }
    int Checked(uint32_t id) const { return static_cast<CSFRadioBox*>(C(id))->GetCheck(); }
};

// A dialog over a catalogue (none when csv is empty) in a temporary application directory.
struct DlgFixture {
    TempAppDir dir;
    Dlg dlg{std::weak_ptr<CMainFrameEventImp>()};
    explicit DlgFixture(const std::string& csv) {
        if (!csv.empty())
            dir.write("ProductParameter.csv", csv);
        dlg.Create(nullptr);
    }
    QTableWidget* Table() const { return static_cast<QTableWidget*>(W(dlg.List())); }
    QWidget* Window() const { return W(dlg.Window()); }
    int Selected() const { return dlg.List()->GetFirstSelectedRow(); }
    void ClickRow(int row) {
        const QRect cell = Table()->visualItemRect(Table()->item(row, 0));
        QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QLabel* LabelStarting(const QString& prefix) const {
        // Wrapping labels carry zero-width spaces between their characters.
        const auto labels = Window()->findChildren<QLabel*>();
        const auto it = std::ranges::find_if(
            labels, [&](QLabel* l) { return l->text().remove(QChar(0x200B)).startsWith(prefix); });
        return it != labels.end() ? *it : nullptr;
    }
};

}  // namespace

class PanelAndModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void panelLayout_data() {
        QTest::addColumn<uint>("id");
        QTest::addColumn<QRect>("rect");
        for (int k = 0; k < 4; ++k) {
            QTest::addRow("step header %d", k + 1)
                << uint(Panel::kStepWallSize + k) << QRect(70 + k * 240, 0, 180, 69);
        }
        QTest::addRow("width spinner") << uint(Panel::kWallWidth) << QRect(290, 85, 100, 18);
        QTest::addRow("fit to room") << uint(Panel::kFitToRoom) << QRect(851, 80, 119, 27);
        QTest::addRow("columns (hidden)") << uint(Panel::kColumns) << QRect(390, 85, 100, 18);
    }
    void panelLayout() {
        QFETCH(uint, id);
        QFETCH(QRect, rect);
        PanelFixture f;
        QCOMPARE(W(f.C(id))->geometry(), rect);
    }

    void stepSwitch_data() {
        QTest::addColumn<L>("clicks");
        QTest::addColumn<L>("shown");
        QTest::addColumn<L>("hidden");
        const uint fit = Panel::kFitToRoom, width = Panel::kWallWidth;
        QTest::newRow("layout") << L{Panel::kStepLayout}
                                << L{Panel::kLandscape, Panel::kPortrait, Panel::kColumns,
                                     Panel::kRows, fit}
                                << L{width, Panel::kWallHeight, Panel::kLampstand,
                                     Panel::kSelectModel, Panel::kContent};
        QTest::newRow("layout twice")
            << L{Panel::kStepLayout, Panel::kStepLayout} << L{Panel::kColumns, fit} << L{width};
        QTest::newRow("content, back to wall size")
            << L{Panel::kStepContent, Panel::kStepWallSize} << L{width, Panel::kMeters, fit}
            << L{Panel::kContent};
    }
    void stepSwitch() {
        QFETCH(L, clicks);
        QFETCH(L, shown);
        QFETCH(L, hidden);
        PanelFixture f;
        f.ClickAll(clicks);
        for (uint id : shown + hidden)
            QVERIFY2(W(f.C(id))->isVisible() == shown.contains(id),
                     qPrintable(QString::number(id)));
        for (uint k = Panel::kStepWallSize; k <= Panel::kStepContent; ++k)
            QCOMPARE(f.Checked(k), k == clicks.last() ? 1 : 0);
    }

    // Typed text that is empty, not a number or outside the range never becomes the value.
    void spinnerInput_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << QString() << 6.0;
        QTest::newRow("not a number") << QStringLiteral("abc") << 6.0;
        QTest::newRow("below the range") << QStringLiteral("1") << 2.0;
        QTest::newRow("above the range") << QStringLiteral("999") << 60.0;
        QTest::newRow("in range") << QStringLiteral("12.5") << 12.5;
    }
    void spinnerInput() {
        QFETCH(QString, typed);
        QFETCH(double, value);
        PanelFixture f;
        auto* width = static_cast<CSFDoubleSpiner*>(f.C(Panel::kWallWidth));
        QWidget* box = W(width);
        box->setFocus();
        static_cast<QAbstractSpinBox*>(box)->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        Type(box, typed);
        QCOMPARE(width->GetCurrentNum(), value);
    }

    // A reported count of 0 shows as 0 and stays; the next user step returns to 1..1000.
    void countOfZero() {
        PanelFixture f;
        auto* rows = static_cast<CSFNumSpiner*>(f.C(Panel::kRows));
        f.panel.SetNum(0, 0);
        QCOMPARE(rows->GetCurrentNum(), 0);
        QCOMPARE(SpinText(rows), QStringLiteral("0"));
        rows->StepUp();
        int minimum = -1, maximum = -1;
        rows->GetRange(&minimum, &maximum);
        QCOMPARE(rows->GetCurrentNum(), 1);
        QCOMPARE(QPair(minimum, maximum), QPair(1, 1000));
    }

    // A model name too wide for its label is elided, and whole in its tool tip (set before its
    // step was first opened, as start-up sets it).
    void longModelName() {
        PanelFixture f;
        const QString name = QStringLiteral("TW-55 with a model name far wider than its label");
        f.panel.SetModelName(name.toStdWString());
        Click(W(f.C(Panel::kStepModel)));
        const auto labels = W(f.panel.View())->findChildren<QLabel*>();
        const auto it =
            std::ranges::find_if(labels, [&](QLabel* l) { return l->toolTip() == name; });
        QVERIFY(it != labels.end() && (*it)->text().endsWith(QChar(0x2026)));
    }

    // ---- Model selection dialog

    void listAndDetails() {
        DlgFixture f(kCatalogue);
        f.dlg.Window()->ShowWindow(1);
        QTableWidget* t = f.Table();
        QCOMPARE(t->rowCount(), 3);
        QCOMPARE(t->item(0, 0)->text(), QStringLiteral("TW-A"));
        const int widths[5] = {123, 91, 80, 102, 86};  // the last column fills the rest
        for (int c = 0; c < 5; ++c)
            QCOMPARE(t->columnWidth(c), widths[c]);
        // A title wider than its column is elided, not cut, and whole in its tool tip.
        QVERIFY(t->horizontalHeaderItem(4)->text().endsWith(QChar(0x2026)));
        QCOMPARE(t->horizontalHeaderItem(4)->toolTip(), QStringLiteral("Bezel-to-bezel"));
        QCOMPARE(W(f.dlg.Button(Dlg::kChoose))->geometry(), QRect(330, 441, 139, 27));

        f.dlg.ShowDefaultModel();
        QCOMPARE(f.Selected(), 0);
        QVERIFY(f.LabelStarting(QStringLiteral("Dimension:1213x684")) != nullptr);

        f.ClickRow(2);
        QCOMPARE(f.dlg.CurrentRow(), 2);
        QLabel* resolution = f.LabelStarting(QStringLiteral("Resolution:Native"));
        QVERIFY(resolution != nullptr);
        const QString whole =
            QString::fromStdWString(CatalogueRecordAt(f.dlg.Catalogue(), 2)->resolution)
                .prepend(QStringLiteral("Resolution:"));
        QCOMPARE(resolution->toolTip(), whole);
        QVERIFY(resolution->text().endsWith(QChar(0x2026)));
        const QString kept = resolution->text().chopped(1);
        QVERIFY(whole.startsWith(kept) && !kept.back().isHighSurrogate());
        QVERIFY(f.LabelStarting(QStringLiteral("Dimension:1215x686"))->toolTip().isEmpty());
    }

    // Nothing read: the dialog says so with the file it looked for; nothing can be chosen.
    void emptyCatalogue_data() {
        QTest::addColumn<QString>("csv");
        QTest::newRow("missing file") << QString();
        QTest::newRow("header only") << QStringLiteral("Model,Dimension,Resolution\n");
    }
    void emptyCatalogue() {
        QFETCH(QString, csv);
        DlgFixture f(csv.toStdString());
        f.dlg.Window()->ShowWindow(1);
        f.dlg.ShowDefaultModel();
        QCOMPARE(f.Table()->rowCount(), 0);
        const QString where = QString::fromStdString(CDatabaseManager::CataloguePath());
        QLabel* notice = f.LabelStarting(QStringLiteral("No display model could be read from "));
        QVERIFY(notice != nullptr && notice->isVisible());
        QVERIFY(notice->text().remove(QChar(0x200B)).endsWith(where));
        Click(W(f.dlg.Button(Dlg::kChoose)));
        QVERIFY(f.Window()->isVisible());
        QCOMPARE(f.dlg.ChosenRow(), 0);
    }
};

QTEST_MAIN(PanelAndModelTest)
#include "PanelAndModelTest.moc"
