// The export dialog driven as a user drives it (real folders): typing, Escape and the close
// button, the confirm checks with their messages, and a language switch.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

#include "Main/DataOutputView.h"
#include "Main/ExportDlg.h"
#include "ModalDriver.h"
#include "framework/os/SFAppDir.h"
#include "shell/AppSettings.h"
#include "shell/lang/LanguageTable.h"
#include "support/TempDir.h"
#include "toolkit/SFToolkit.h"

namespace {

QString Tr(const wchar_t* key) {
    return QString::fromStdWString(Translate(key));
}

// The folder field is the read-only one.
QLineEdit* Field(QWidget* dialog, bool folder) {
    for (QLineEdit* e : dialog->findChildren<QLineEdit*>())
        if (e->isReadOnly() == folder)
            return e;
    return nullptr;
}

void Click(QWidget* dialog, const wchar_t* key) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == Tr(key) || b->toolTip() == Tr(key))
            return QTest::mouseClick(b, Qt::LeftButton);
}

// Whether a message box came and showed the "Attention" notice of key.
bool Says(const std::shared_ptr<QStringList>& texts, const wchar_t* key) {
    return texts && texts->contains(Tr(L"Attention")) && texts->contains(Tr(key));
}

// Keeps the texts of the next modal window (a message box) and answers it with Escape. The
// list is shared: it outlives a box that never came.
std::shared_ptr<QStringList> AnswerMessage() {
    auto texts = std::make_shared<QStringList>();
    uitest::AnswerNextModal([texts](QWidget* box) {
        *texts = uitest::VisibleTexts(box);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    return texts;
}

}  // namespace

class ExportDlgTest : public QObject {
    Q_OBJECT

    QWidget m_host;
    std::unique_ptr<CDataOutputViewEventImp> m_page;
    std::unique_ptr<CExportDlgEventImp> m_dialog;
    QString m_name;  // the file name field as a run left it

    // One modal run driven by act, which must end it; -1 when no dialog came up.
    int Run(const std::function<void(QWidget*)>& act) {
        auto answered = uitest::AnswerNextModal([&](QWidget* w) {
            act(w);
            m_name = Field(w, false)->text();
        });
        const int result = m_dialog->DoModal();
        return *answered ? result : -1;
    }

private Q_SLOTS:
    void initTestCase() {
        SFSetSkinPath(L"" TESSARO_APP_DIR "/Skin/");
        g_appSettings.LoadSettings();
    }
    void init() {
        SF_SOFT_BASE::SetApplicationDirectory(TESSARO_APP_DIR);
        ResetLanguageTables();
        CurrentLanguage = 0;
        m_page = std::make_unique<CDataOutputViewEventImp>(std::weak_ptr<CMainFrameEventImp>());
        m_page->Create(&m_host);
        m_dialog = std::make_unique<CExportDlgEventImp>(m_page.get());
        m_dialog->Create(m_page->View()->GetUIWnd());
        m_dialog->RetranslateTexts();
    }
    void cleanup() {
        m_dialog.reset();
        m_page.reset();
    }

    // Escape and the close button hand nothing over and keep the texts; a language switch puts
    // the default name back.
    void typingCancellingAndSwitchingLanguage() {
        QString folder, cut;
        QCOMPARE(Run([&](QWidget* w) {
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
        QCOMPARE(m_name, QStringLiteral("abcdefg:h?"));  // ":" and "?" are refused at OK only
        QStringList texts;
        const auto close = [&](QWidget* w) {
            texts = uitest::VisibleTexts(w);
            Click(w, L"Close");
        };
        QCOMPARE(Run(close), 2);
        QCOMPARE(m_name, QStringLiteral("abcdefg:h?"));
        QVERIFY(m_page->ExportFolder().empty() && m_page->ExportFileName().empty());
        CurrentLanguage = 1;
        m_dialog->RetranslateTexts();
        QCOMPARE(Run(close), 2);
        QCOMPARE(m_name, Tr(L"DataConfig"));
        for (const wchar_t* key : {L"Export", L"Path", L"FileName"})
            QVERIFY2(texts.contains(Tr(key)), qPrintable(Tr(key)));
    }

    // In Chinese, where a key shown untranslated would stand out.
    void confirmShowsTheFirstFailedCheck() {
        CurrentLanguage = 1;
        m_dialog->RetranslateTexts();
        const testsupport::TempDir dir;
        const QString good = QString::fromStdString(dir.path());
        std::shared_ptr<QStringList> noName, illegal, readOnly;
        bool stayedOpen = false;
        QCOMPARE(Run([&](QWidget* w) {
                     QLineEdit* name = Field(w, false);
                     // Each message is answered before OK is clicked: the box runs modally.
                     const auto ok = [w](std::shared_ptr<QStringList>* message = nullptr) {
                         if (message != nullptr)
                             *message = AnswerMessage();
                         Click(w, L"OK");
                     };
                     Field(w, true)->setText(good);  // as "Brown" puts it there
                     name->clear();
                     ok(&noName);
                     QTest::keyClicks(name, QStringLiteral("a:b"));
                     ok(&illegal);
                     Field(w, true)->setText(QStringLiteral("/proc"));
                     name->setText(QStringLiteral("Report"));
                     ok(&readOnly);
                     stayedOpen = w->isVisible() && name->text() == QStringLiteral("Report");
                     Field(w, true)->setText(good);
                     ok();
                 }),
                 1);
        QVERIFY(Says(noName, L"Please input a file name."));
        QVERIFY(Says(illegal, L"Path contains illegal symbols."));
        const wchar_t* notWritable = L"The folder cannot be written, please select another.";
        QVERIFY(Says(readOnly, notWritable));
        QVERIFY(Tr(notWritable) != QString::fromWCharArray(notWritable));
        QVERIFY(stayedOpen);
        QCOMPARE(m_page->ExportFolder(), good.toStdWString());
        QCOMPARE(m_page->ExportFileName(), std::wstring(L"Report"));
    }
};

QTEST_MAIN(ExportDlgTest)
#include "ExportDlgTest.moc"
