// The message box, the about dialog, the tool bar and the export dialog, each alone, driven by
// simulated input (real files and folders).
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "Main/AboutDlg.h"
#include "Main/DataOutputView.h"
#include "Main/ExportDlg.h"
#include "Main/MsgDlg.h"
#include "Main/ui/UiTestSupport.h"
#include "shell/QtTranslation.h"
#include "toolkit/qt/SFQTScrollMenu.h"

using namespace Qt::Literals::StringLiterals;
using namespace uitest;

namespace {

// The visible button whose text or tool tip is the translation of key.
QPushButton* ButtonOf(QWidget* window, const QString& key) {
    const QString wanted = Tr(key.toStdWString().c_str());
    for (QPushButton* b : window->findChildren<QPushButton*>())
        if (b->isVisible() && (b->text() == wanted || b->toolTip() == wanted))
            return b;
    return nullptr;
}

// The language actions of a tool bar's menu: 113 Chinese, 114 English.
QAction* LanguageAction(QWidget* bar, int id) {
    for (QMenu* menu : bar->findChildren<QMenu*>())
        if (auto* own = dynamic_cast<CSFQTMenu*>(menu); own != nullptr && own->Action(id))
            return own->Action(id);
    return nullptr;
}

// Closes a modal window with a key (the keypad's for Enter) or a click on a button.
void Answer(QWidget* w, int key, const QString& button) {
    key != 0 ? QTest::keyClick(w, Qt::Key(key),
                               key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier)
             : QTest::mouseClick(ButtonOf(w, button), Qt::LeftButton);
    // An answer that leaves the window open fails the test (closing it) instead of hanging it.
    QTimer::singleShot(3000, w, [w] { QVERIFY2(!w->close(), "the answer left it open"); });
}

// A message box's modal result and what it looked like: window size, text label, OK button.
struct Run {
    int result = 0;
    QSize size;
    QRect text, ok;
};

// Shows a message box, measures it, answers it.
Run RunMessageBox(const QString& text, int key, const QString& button = QString()) {
    Run run;
    QPointer<QWidget> dialog;
    uitest::AnswerNextModal([&](QWidget* w) {
        dialog = w;
        run.size = w->size();
        for (QLabel* l : w->findChildren<QLabel*>())
            if (l->text() == text)
                run.text = l->geometry();
        if (QPushButton* ok = ButtonOf(w, QStringLiteral("OK")))
            run.ok = ok->geometry();
        Answer(w, key, button);
    });
    run.result = ShowMessageBox(text.toStdWString().c_str(), L"Attention", nullptr);
    return dialog.isNull() ? run : Run{-1, {}, {}, {}};  // the dialog must be gone by now
}

// The folder field is the read-only one.
QLineEdit* Field(QWidget* dialog, bool folder) {
    for (QLineEdit* e : dialog->findChildren<QLineEdit*>())
        if (e->isReadOnly() == folder)
            return e;
    return nullptr;
}

// The export dialog over a data output page without a main frame.
struct ExportDialog {
    QWidget host;
    CDataOutputViewEventImp page{std::weak_ptr<CMainFrameEventImp>()};
    CExportDlgEventImp dialog{&page};
    QString name;  // the file name field as a run left it
    ExportDialog() {
        page.Create(&host);
        dialog.Create(page.View()->GetUIWnd());
        dialog.RetranslateTexts();
    }
    // One modal run driven by act, which must end it; -1 when no dialog came up.
    int Run(const std::function<void(QWidget*)>& act) {
        auto answered = AnswerNextModal([&](QWidget* w) {
            act(w);
            name = Field(w, false)->text();
        });
        const int result = dialog.DoModal();
        return *answered ? result : -1;
    }
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        SFSetSkinPath(L"" TESSARO_APP_DIR "/Skin/");
        g_appSettings.LoadSettings();  // registers the language setting
    }
    void init() {
        SF_SOFT_BASE::SetApplicationDirectory(TESSARO_APP_DIR);
        ResetLanguageTables();
        CurrentLanguage = 0;
    }

    void messageBoxAnswers_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("Return accepts") << int(Qt::Key_Return) << QString() << 1;
        QTest::newRow("Enter accepts") << int(Qt::Key_Enter) << QString() << 1;
        QTest::newRow("OK accepts") << 0 << QStringLiteral("OK") << 1;
        QTest::newRow("Escape rejects") << int(Qt::Key_Escape) << QString() << 2;
        QTest::newRow("the close button rejects") << 0 << QStringLiteral("Close") << 2;
    }
    void messageBoxAnswers() {
        QFETCH(int, key);
        QFETCH(QString, button);
        QTEST(RunMessageBox(QStringLiteral("Export success."), key, button).result, "result");
    }

    void messageBoxGrowsWithItsText_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("Chinese") << 1;
    }
    void messageBoxGrowsWithItsText() {
        QFETCH(int, language);
        CurrentLanguage = language;
        const QString text = (Tr(L"ProductName") + u' ').repeated(5);  // several lines' worth
        const Run word = RunMessageBox(QStringLiteral("Attention"), Qt::Key_Escape);
        const Run wrapped = RunMessageBox(text, Qt::Key_Escape);
        for (const Run& run : {word, wrapped}) {
            QCOMPARE(run.size.width(), 320);
            QCOMPARE(std::pair(run.text.left(), run.text.width()), std::pair(20, 280));
            QCOMPARE(run.ok.top(), run.text.bottom() + 1 + 10);
            QCOMPARE(run.ok.left() + run.ok.width() / 2, 160);
            QCOMPARE(run.size.height(), run.ok.bottom() + 1 + 20);
        }
        QCOMPARE(word.text.height(), 30);
        QVERIFY2(wrapped.text.height() > 40, "a long text takes several lines");
        QCOMPARE(wrapped.size.height() - word.size.height(), wrapped.text.height() - 30);
    }

    void aboutShowsTheCurrentLanguageAndCloses_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("button");
        QTest::newRow("English, Escape") << 0 << int(Qt::Key_Escape) << QString();
        QTest::newRow("Chinese, close button") << 1 << 0 << QStringLiteral("Close");
    }
    void aboutShowsTheCurrentLanguageAndCloses() {
        QFETCH(int, language);
        QFETCH(int, key);
        QFETCH(QString, button);
        CAboutDlgEventImp about({});
        QCOMPARE(about.Create(nullptr), 1);
        CurrentLanguage = language;
        about.RetranslateTexts();  // as the tool bar's language choice asks
        QStringList texts;
        uitest::AnswerNextModal([&](QWidget* w) {
            texts = uitest::VisibleTexts(w);
            Answer(w, key, button);
        });
        QCOMPARE(about.DoModal(), 2);
        for (const wchar_t* entry : {L"About", L"ProductVer", L"CopyrightString"})
            QVERIFY2(texts.contains(Tr(entry)), qPrintable(texts.join(u'|')));
    }

    void toolBarFitsBothLanguages() {
        QWidget parent;
        CToolBarEventImp bar({});
        QCOMPARE(bar.Create(&parent), 1);
        parent.show();
        bar.View()->MoveWindow(0, 0, 1000, 36);
        auto* view = static_cast<QWidget*>(bar.View()->GetUIWnd());
        for (int language : {1, 0}) {  // laid out again by the retranslation
            CurrentLanguage = language;
            bar.RetranslateTexts();
            QList<QRect> placed;
            for (QWidget* child : view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->isWindow() || !child->isVisibleTo(view))
                    continue;
                QVERIFY(view->rect().contains(child->geometry()));
                for (const QRect& other : placed)
                    QVERIFY(!other.intersects(child->geometry()));
                placed << child->geometry();
            }
            QCOMPARE(placed.size(), 7);  // logo, title, two tabs, three buttons
        }
    }

    void languageChoiceIsSavedAndMarked_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QByteArray>("langFile");  // Lang_1.xml in the application directory
        QTest::newRow("Chinese, no file") << 0 << 1 << true << QByteArray();
        QTest::newRow("English again") << 0 << 0 << true << QByteArray();
        QTest::newRow("Chinese, broken file") << 0 << 1 << true << QByteArray("<L><S name=");
        QTest::newRow("unsaved switch") << 1 << 0 << false << QByteArray();
    }
    void languageChoiceIsSavedAndMarked() {
        QFETCH(int, before);
        QFETCH(int, chosen);
        QFETCH(bool, writable);
        QFETCH(QByteArray, langFile);
        TempAppDir dir;
        if (!langFile.isEmpty())
            dir.write("Lang_1.xml", langFile.toStdString());
        const std::string file = writable
                                     ? dir.file("Config/config.xml")
                                     : dir.write("blocker", "a file, no folder") + "/config.xml";
        g_appSettings.SetFilePath(file);
        CurrentLanguage = g_appSettings.m_language = before;
        QWidget parent;
        CToolBarEventImp bar({});
        bar.Create(&parent);
        if (!writable)  // the switch goes on; the failure is only logged
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not be saved")));
        LanguageAction(&parent, chosen != 0 ? 113 : 114)->trigger();
        bar.RetranslateTexts();  // what the frame's retranslation asks of the bar

        QCOMPARE(CurrentLanguage, chosen);
        QCOMPARE(g_appSettings.m_language, chosen);
        QCOMPARE(LanguageAction(&parent, 113)->isChecked(), chosen != 0);
        QCOMPARE(LanguageAction(&parent, 114)->isChecked(), chosen == 0);
        const std::string saved = TempAppDir::read(file);
        QCOMPARE(
            saved.find("<Language value=\"" + std::to_string(chosen) + "\"") != std::string::npos,
            writable);
    }

    void qtTranslationFollowsTheLanguage() {
        QVERIFY(InstallQtTranslation(1));
        QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != u"Cancel");
        QVERIFY(!InstallQtTranslation(0));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Cancel");
    }

    void bothLanguagesNameTheBuildVersion() {
        SF_SOFT_BASE::SetApplicationDirectory(TESSARO_SOURCE_DIR "/data/lang");
        const QString declared = QStringLiteral(TESSARO_VERSION);
        const QRegularExpression version(
            QStringLiteral("(^|[^0-9.])%1($|[^0-9.])").arg(QRegularExpression::escape(declared)));
        for (int language : {0, 1}) {
            CurrentLanguage = language;
            const QString text = Tr(L"ProductVer");
            QVERIFY2(version.match(text).hasMatch(), qPrintable(text + u'/' + declared));
        }
    }

    // Escape and the close button hand nothing over and keep the texts; a language switch puts
    // the default name back.
    void exportTypingCancellingAndSwitchingLanguage() {
        ExportDialog x;
        QString folder, cut;
        QCOMPARE(x.Run([&](QWidget* w) {
            folder = Field(w, true)->text();
            QLineEdit* name = Field(w, false);
            name->clear();
            QTest::keyClicks(name, QString(33, u'a'));
            cut = name->text();
            name->clear();
            QTest::keyClicks(name, QStringLiteral("a*b/c\\d<e>f|g:h?"));
            QTest::keyClick(name, Qt::Key_Escape);
        }),
                 2);
        QCOMPARE(folder, QStringLiteral(TESSARO_APP_DIR));  // the program's folder is writable
        QCOMPARE(cut, QString(32, u'a'));
        QCOMPARE(x.name, QStringLiteral("abcdefg:h?"));  // ":" and "?" are refused at OK only
        QStringList texts;
        const auto close = [&](QWidget* w) {
            texts = uitest::VisibleTexts(w);
            QTest::mouseClick(ButtonOf(w, QStringLiteral("Close")), Qt::LeftButton);
        };
        QCOMPARE(x.Run(close), 2);
        QCOMPARE(x.name, QStringLiteral("abcdefg:h?"));
        QVERIFY(x.page.ExportFolder().empty() && x.page.ExportFileName().empty());
        CurrentLanguage = 1;
        x.dialog.RetranslateTexts();
        QCOMPARE(x.Run(close), 2);
        QCOMPARE(x.name, Tr(L"DataConfig"));
        for (const wchar_t* key : {L"Export", L"Path", L"FileName"})
            QVERIFY2(texts.contains(Tr(key)), qPrintable(Tr(key)));
    }

    // In Chinese, where a key shown untranslated would stand out.
    void exportConfirmShowsTheFirstFailedCheck() {
        ExportDialog x;
        CurrentLanguage = 1;
        x.dialog.RetranslateTexts();
        const testsupport::TempDir dir;
        const QString good = QString::fromStdString(dir.path());
        QStringList said;  // the message of every refused OK
        bool stayedOpen = false;
        QCOMPARE(x.Run([&](QWidget* w) {
            QLineEdit* name = Field(w, false);
            const auto ok = [w] { QTest::mouseClick(ButtonOf(w, u"OK"_s), Qt::LeftButton); };
            Field(w, true)->setText(good);  // as "Brown" puts it there
            name->clear();
            said << MessageOf(ok);
            QTest::keyClicks(name, u"a:b"_s);
            said << MessageOf(ok);
            Field(w, true)->setText(u"/proc"_s);
            name->setText(u"Report"_s);
            said << MessageOf(ok);
            stayedOpen = w->isVisible() && name->text() == u"Report"_s;
            Field(w, true)->setText(good);
            ok();
        }),
                 1);
        const wchar_t* notWritable = L"The folder cannot be written, please select another.";
        const wchar_t* keys[] = {L"Please input a file name.", L"Path contains illegal symbols.",
                                 notWritable};
        QCOMPARE(said.size(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(said[i].split(u'|').contains(Tr(L"Attention")) &&
                         said[i].split(u'|').contains(Tr(keys[i])),
                     qPrintable(said[i]));
        QVERIFY(Tr(notWritable) != QString::fromWCharArray(notWritable));
        QVERIFY(stayedOpen);
        QCOMPARE(x.page.ExportFolder(), good.toStdWString());
        QCOMPARE(x.page.ExportFileName(), std::wstring(L"Report"));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
